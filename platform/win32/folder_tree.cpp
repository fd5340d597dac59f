// SPDX-License-Identifier: MIT
// Whole folders through std::filesystem over wide paths; links (junctions,
// symbolic links) are removed, never followed.
#include "platform/folder_tree.h"

#include "platform/win32/windows_api.h"

#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

fs::path Wide(std::string_view cp932) { return fs::path(win32::FsToWide(FsName(cp932))); }

}  // namespace

std::string CreateUniqueFolder(std::string_view parent, std::string_view prefix) {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device rd;
  std::mt19937 gen(rd());
  std::uniform_int_distribution<int> pick(0, 35);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = IncludeTrailingDelimiter(parent) + std::string(prefix);
    for (int i = 0; i < 6; ++i) name += kChars[pick(gen)];
    if (CreateDirectoryW(Wide(name).c_str(), nullptr)) return name;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

bool RemoveFolderTree(std::string_view path) {
  fs::path p = Wide(path);
  std::error_code ec;
  auto st = fs::symlink_status(p, ec);
  if (ec || !fs::exists(st)) return true;
  // Read-only entries would refuse deletion.
  for (auto it = fs::recursive_directory_iterator(p, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    if (it->is_symlink(ec)) it.disable_recursion_pending();
  }
  fs::remove_all(p, ec);
  return !fs::exists(fs::symlink_status(p, ec));
}

bool MoveFolderEntries(std::string_view from, std::string_view to) {
  fs::path src = Wide(from), dst = Wide(to);
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(src, ec)) {
    if (!MoveFileExW(e.path().c_str(), (dst / e.path().filename()).c_str(), 0)) return false;
  }
  return !ec;
}

bool ReplaceEmptyFolder(std::string_view from, std::string_view to) {
  fs::path dst = Wide(to);
  // Windows renames no folder over another: the empty one goes first.
  RemoveDirectoryW(dst.c_str());
  return MoveFileExW(Wide(from).c_str(), dst.c_str(), 0) != 0;
}

std::size_t DeleteFilesAtTop(std::string_view dir, std::vector<std::string>* refused) {
  std::size_t removed = 0;
  auto remove = [&](const std::string& fsName) {
    if (DeleteFsFile(dir, fsName)) {
      ++removed;
      return;
    }
    // A read-only file stays by the rule; anything else the system refused.
    const std::wstring path = win32::FsToWide(FsName(IncludeTrailingDelimiter(dir))) + win32::Utf8ToWide(fsName);
    const DWORD attr = GetFileAttributesW(path.c_str());
    if (refused && attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_READONLY)) refused->push_back(fsName);
  };
  std::vector<std::string> unlisted;
  for (const auto& f : FindFiles(dir, "*.*", &unlisted))
    if (!f.directory) remove(f.fsName);
  for (const auto& fsName : unlisted) remove(fsName);
  return removed;
}

bool FolderTakesNewFiles(std::string_view dir) {
  const std::wstring probe = Wide(IncludeTrailingDelimiter(dir)).wstring() + L".bmslist-probe-" +
                             std::to_wstring(GetCurrentProcessId());
  HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool FolderTopHoldsFiles(std::string_view dir) {
  std::vector<std::string> unlisted;
  for (const auto& f : FindFiles(dir, "*.*", &unlisted))
    if (!f.directory) return true;
  return !unlisted.empty();
}

}  // namespace platform
