// SPDX-License-Identifier: MIT
#include "platform/ini_text.h"

#include "platform/cp932.h"

namespace platform {
namespace {

// The blanks the profile functions trim. All are below 0x40, so they can
// never be the second byte of a double-byte character and trimming bytewise
// from either end is safe.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// First position of the single-byte character c, walking whole characters
// ("]" may be the second byte of a double-byte character).
std::size_t FindChar(std::string_view s, char c) {
  for (std::size_t i = 0; i < s.size(); i = NextCharPos(s, i))
    if (s[i] == c) return i;
  return std::string_view::npos;
}

// The name of a section header line ("[name]"), or nullopt for other lines.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  std::size_t close = FindChar(line, ']');
  return Trim(close == std::string_view::npos ? line : line.substr(0, close));
}

// Splits a "key=value" line; lines without "=" hold no key.
bool SplitKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
  std::size_t eq = line.find('=');  // "=" is below 0x40: never a second byte
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

IniText::IniText(std::string_view bytes) {
  bool newlineKnown = false;
  while (!bytes.empty()) {
    std::size_t nl = bytes.find('\n');
    Line line;
    if (nl == std::string_view::npos) {
      line.text = std::string(bytes);
      bytes = {};
    } else {
      std::size_t end = nl;
      line.eol = "\n";
      if (end > 0 && bytes[end - 1] == '\r') {
        --end;
        line.eol = "\r\n";
      }
      line.text = std::string(bytes.substr(0, end));
      bytes.remove_prefix(nl + 1);
      if (!newlineKnown) {
        newline_ = line.eol;
        newlineKnown = true;
      }
    }
    lines_.push_back(std::move(line));
  }
}

std::size_t IniText::FindSection(std::string_view name) const {
  name = Trim(name);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto header = HeaderName(lines_[i].text);
    if (header && SameTextAscii(*header, name)) return i;
  }
  return std::string::npos;
}

std::size_t IniText::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !HeaderName(lines_[i].text)) ++i;
  return i;
}

std::size_t IniText::FindKey(std::size_t header, std::string_view key) const {
  key = Trim(key);
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    std::string_view k, v;
    if (SplitKeyLine(lines_[i].text, k, v) && SameTextAscii(k, key)) return i;
  }
  return std::string::npos;
}

std::optional<std::string> IniText::Value(std::string_view section, std::string_view key) const {
  std::size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  std::size_t at = FindKey(header, key);
  if (at == std::string::npos) return std::nullopt;
  std::string_view k, v;
  SplitKeyLine(lines_[at].text, k, v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return std::string(v);
}

void IniText::InsertLine(std::size_t at, std::string text) {
  // The line before must end before a new one can follow it.
  if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline_});
}

bool IniText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  section = Trim(section);
  key = Trim(key);
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    // A new section goes at the end, set off from what is there by a blank line.
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) InsertLine(lines_.size(), "");
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), std::string(key) + "=" + std::string(value));
    return true;
  }
  std::size_t at = FindKey(header, key);
  if (at != std::string::npos) {
    // The key keeps its place and its spelling; only the value changes.
    std::string_view k, v;
    SplitKeyLine(lines_[at].text, k, v);
    lines_[at].text = std::string(k) + "=" + std::string(value);
    return true;
  }
  // After the section's last non-blank line, so a blank line that separates
  // it from the next section stays where it is.
  std::size_t last = header, end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (!Trim(lines_[i].text).empty()) last = i;
  InsertLine(last + 1, std::string(key) + "=" + std::string(value));
  return true;
}

std::string IniText::Bytes() const {
  std::string out;
  for (const Line& l : lines_) {
    out += l.text;
    out += l.eol;
  }
  return out;
}

}  // namespace platform
