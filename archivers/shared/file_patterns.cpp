// SPDX-License-Identifier: MIT
#include "archivers/shared/file_patterns.h"

#include <algorithm>

#include "archivers/lzh/lzh_header_name.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/paths.h"

namespace arc {

namespace {

// The pattern as matched: "\" as "/", no leading "/", "folder/" as
// "folder/*". Empty: it matches nothing.
std::string Normalised(const std::string& pattern) {
  std::string p = SlashesForBackslashes(pattern);
  std::size_t lead = p.find_first_not_of('/');
  p.erase(0, lead == std::string::npos ? p.size() : lead);
  if (!p.empty() && p.back() == '/') p += '*';
  return p;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// ".EXT" when `mask` is "*.<ext>" with printable ASCII and no wildcard,
// dot or folder in <ext>: masks whose matches must end in exactly those
// bytes, since the matcher pairs a single-byte character of the mask only
// with a single-byte character of the name (a trail byte that looks like a
// letter never matches it). A dot is kept out of <ext> because a trailing
// "." of a mask may match nothing.
std::string PlainExtension(const std::string& mask) {
  if (mask.size() < 3 || mask[0] != '*' || mask[1] != '.') return {};
  std::string ext = ".";
  for (std::size_t i = 2; i < mask.size(); ++i) {
    char c = mask[i];
    if (c < 0x20 || c > 0x7E || c == '*' || c == '?' || c == '.' || c == '/' || c == '\\') return {};
    ext += Upper(c);
  }
  return ext;
}

bool EndsWithNoCase(const std::string& name, const std::string& upperSuffix) {
  if (name.size() < upperSuffix.size()) return false;
  std::size_t at = name.size() - upperSuffix.size();
  for (std::size_t i = 0; i < upperSuffix.size(); ++i)
    if (Upper(name[at + i]) != upperSuffix[i]) return false;
  return true;
}

}  // namespace

bool PatternMatches(const std::string& displayName, const std::string& pattern) {
  return EntrySelection({pattern}, {}).Selects(displayName);
}

bool EntrySelected(const std::string& displayName, const std::vector<std::string>& include,
                   const std::vector<std::string>& exclude, const std::string& utf8Name) {
  return EntrySelection(include, exclude).Selects(displayName, utf8Name);
}

EntrySelection::EntrySelection(const std::vector<std::string>& include, const std::vector<std::string>& exclude) {
  auto prepare = [this](const std::string& pattern) {
    Pattern p;
    p.utf8 = platform::IsUtf8Path(pattern);
    if (p.utf8) {
      // UTF-8 has no "\\" inside a character: a plain replace.
      std::string mask(platform::WithoutUtf8Mark(pattern));
      std::replace(mask.begin(), mask.end(), '\\', '/');
      p.mask = Normalised(mask);
      p.wholeName = p.mask.find('/') != std::string::npos;
      needsUtf8Name_ = true;
    } else {
      p.mask = Normalised(pattern);
      p.wholeName = platform::LastDelimiterPos(p.mask) != std::string::npos;
    }
    return p;
  };
  for (const auto& e : exclude) exclude_.push_back(prepare(e));
  bool plain = !include.empty();
  for (const auto& i : include) {
    include_.push_back(prepare(i));
    std::string ext = PlainExtension(include_.back().mask);
    plain = plain && !ext.empty();
    longestExtension_ = std::max(longestExtension_, ext.size());
    extensions_.push_back(std::move(ext));
  }
  if (!plain) extensions_.clear();
}

bool EntrySelection::Matches(const std::string& displayName, const std::string& utf8Name, const Pattern& p) {
  if (p.mask.empty()) return false;
  if (p.utf8) {
    if (p.wholeName) return platform::MatchesMaskUtf8(utf8Name, p.mask);
    const std::size_t slash = utf8Name.rfind('/');
    return platform::MatchesMaskUtf8(slash == std::string::npos ? utf8Name : utf8Name.substr(slash + 1), p.mask);
  }
  if (p.wholeName) return platform::MatchesMask(displayName, p.mask);
  return platform::MatchesMask(platform::ExtractFileName(displayName), p.mask);
}

bool EntrySelection::Selects(const std::string& displayName, const std::string& utf8Name) const {
  for (const auto& e : exclude_)
    if (Matches(displayName, utf8Name, e)) return false;
  if (include_.empty()) return true;
  for (const auto& i : include_)
    if (Matches(displayName, utf8Name, i)) return true;
  return false;
}

bool EntrySelection::RuledOut(const std::string& storedName, bool isUtf8) const {
  if (extensions_.empty() || storedName.empty()) return false;
  // The display name drops a trailing separator or "." part: such names
  // are matched in full.
  char last = storedName.back();
  if (last == '/' || last == '\\' || last == '.') return false;
  // A UTF-8 name is converted for display; only an ASCII tail is sure to
  // come through unchanged.
  if (isUtf8) {
    std::size_t from = storedName.size() > longestExtension_ ? storedName.size() - longestExtension_ : 0;
    for (std::size_t i = from; i < storedName.size(); ++i)
      if (static_cast<unsigned char>(storedName[i]) >= 0x80) return false;
  }
  for (const auto& ext : extensions_)
    if (EndsWithNoCase(storedName, ext)) return false;
  return true;
}

}  // namespace arc
