// SPDX-License-Identifier: MIT
#include "platform/desktop/file_actions.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {

// UTF-8 in both directions on every system.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string Utf8Of(const fs::path& path) {
  const std::u8string s = path.generic_u8string();
  return std::string(s.begin(), s.end());
}

}  // namespace

std::vector<std::string> FilesUnder(const std::string& dir) {
  std::vector<std::string> files;
  std::error_code ec;
  const fs::path root = PathOf(dir);
  for (fs::recursive_directory_iterator it(root, fs::directory_options::none, ec), end; !ec && it != end;
       it.increment(ec)) {
    const fs::file_status status = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_regular_file(status)) files.push_back(Utf8Of(it->path().lexically_relative(root)));
  }
  std::sort(files.begin(), files.end());
  return files;
}

FolderTop ReadFolderTop(const std::string& dir) {
  FolderTop top;
  std::error_code ec;
  for (fs::directory_iterator it(PathOf(dir), ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      top.folders.push_back(Utf8Of(it->path().filename()));
    else
      top.otherEntries = true;
  }
  std::sort(top.folders.begin(), top.folders.end());
  return top;
}

bool MakeFolders(const std::string& dir) {
  std::error_code ec;
  fs::create_directories(PathOf(dir), ec);
  return fs::is_directory(PathOf(dir), ec);
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(PathOf(path), ec));
}

bool SameContent(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::file_size(PathOf(a), ec) != fs::file_size(PathOf(b), ec) || ec) return false;
  std::ifstream fa(PathOf(a), std::ios::binary), fb(PathOf(b), std::ios::binary);
  if (!fa || !fb) return false;
  std::vector<char> ba(1 << 16), bb(1 << 16);
  while (fa && fb) {
    fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
    fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
    if (fa.gcount() != fb.gcount() || std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(fa.gcount())) != 0)
      return false;
  }
  return fa.eof() && fb.eof();
}

}  // namespace platform
