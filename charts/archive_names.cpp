// SPDX-License-Identifier: MIT
#include "charts/archive_names.h"

#include <algorithm>
#include <array>

#include "platform/cp932.h"

namespace {

// Extensions that stand in for each other; a chart's name may give any of
// its group and the archive hold another.
constexpr std::array<std::string_view, 4> kSounds = {".wav", ".ogg", ".flac", ".mp3"};
constexpr std::array<std::string_view, 4> kImages = {".bmp", ".png", ".jpg", ".jpeg"};

template <std::size_t N>
bool InGroup(const std::array<std::string_view, N>& group, std::string_view extension) {
  for (std::string_view e : group)
    if (e == extension) return true;
  return false;
}

}  // namespace

std::string ArchiveNames::Folded(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    // The trail byte of a double-byte character may look like "\" or a
    // letter; it is kept as it is.
    if (platform::IsLeadByte(c) && i + 1 < path.size()) {
      out += path[i];
      out += path[++i];
      continue;
    }
    if (c == '\\')
      out += '/';
    else if (c >= 'A' && c <= 'Z')
      out += static_cast<char>(c - 'A' + 'a');
    else
      out += static_cast<char>(c);
  }
  // "./a.wav" and "a.wav" are one file.
  while (out.starts_with("./")) out.erase(0, 2);
  return out;
}

void ArchiveNames::Add(std::string_view path) {
  std::string name = Folded(path);
  if (name.empty() || name.back() == '/') return;  // a folder
  // '/' is never the trail byte of a double-byte character.
  const std::size_t slash = name.rfind('/');
  const std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
  auto& folders = folders_[name.substr(cut)];
  if (folders.size() < 64 && std::find(folders.begin(), folders.end(), name.substr(0, cut)) == folders.end())
    folders.push_back(name.substr(0, cut));
  names_.insert(std::move(name));
}

std::vector<std::string> ArchiveNames::Folders(std::string_view fileName) const {
  auto it = folders_.find(Folded(fileName));
  if (it == folders_.end()) return {""};
  return it->second;
}

bool ArchiveNames::Has(std::string_view reference, std::string_view folder) const {
  return HasFolded(Folded(folder), Folded(reference));
}

bool ArchiveNames::HasFolded(const std::string& folder, const std::string& reference) const {
  if (names_.empty()) return false;
  const std::string name = folder + reference;
  if (names_.contains(name)) return true;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return false;
  const std::string_view extension = std::string_view(name).substr(dot);
  auto tryGroup = [&](const auto& group) {
    if (!InGroup(group, extension)) return false;
    std::string other = name.substr(0, dot);
    for (std::string_view e : group) {
      other.resize(dot);
      other += e;
      if (names_.contains(other)) return true;
    }
    return false;
  };
  return tryGroup(kSounds) || tryGroup(kImages);
}
