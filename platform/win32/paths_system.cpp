// SPDX-License-Identifier: MIT
// Paths that depend on the system, on Windows: full paths by
// GetFullPathName, the executable by GetModuleFileName, and the settings
// beside it unless that folder cannot be written, then in %APPDATA% (the
// settings) and %LOCALAPPDATA% (the working folder).
#include "platform/win32/windows_api.h"
#include <shlobj.h>

#include <mutex>

#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace platform {

std::string ExpandFileName(std::string_view path) {
  std::wstring w = win32::PathToWide(path);
  wchar_t full[32768];
  DWORD n = GetFullPathNameW(w.c_str(), 32768, full, nullptr);
  if (n == 0 || n >= 32768) return std::string(path);
  if (!IsUtf8Path(path)) return win32::WideToCp932(std::wstring_view(full, n));
  return PathFromUtf8(win32::WideToUtf8(std::wstring_view(full, n)));
}

// GetFullPathName is what the system does to a path it opens.
std::string AbsolutePath(std::string_view path) { return ExpandFileName(path); }

std::string FsName(std::string_view cp932Path) {
  return IsUtf8Path(cp932Path) ? std::string(cp932Path.substr(1)) : Cp932ToUtf8(cp932Path);
}
// A name CP932 cannot hold comes back as the marked UTF-8 path, never with "?".
std::string FromFsName(std::string_view fsPath) { return PathFromUtf8(fsPath); }

std::string RealExecutablePath() {
  wchar_t buf[32768];
  DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
  if (n == 0 || n >= 32768) return {};
  // A folder CP932 cannot hold (a user named José) gives the marked UTF-8 path.
  bool exact = true;
  std::string cp932 = win32::WideToCp932(std::wstring_view(buf, n), &exact);
  return exact ? cp932 : kUtf8PathMark + win32::WideToUtf8(std::wstring_view(buf, n));
}

namespace {

// Whether a new file can be made in the folder: the only reliable test on
// Windows, where the folder's ACL decides (Program Files refuses users).
bool FolderWritable(const std::string& dir) {
  std::wstring probe = win32::PathToWide(dir) + L"bmslist-write-test-" + std::to_wstring(GetCurrentProcessId());
  HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

std::string KnownFolder(int csidl) {
  wchar_t buf[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, buf))) return {};
  bool exact = true;
  std::string cp932 = win32::WideToCp932(buf, &exact);
  return IncludeTrailingDelimiter(exact ? cp932 : kUtf8PathMark + win32::WideToUtf8(buf)) + "bmslist\\";
}
}  // namespace

// A Windows copy keeps its DLLs beside the executables.
std::string InstalledLibraryDir() { return ExecutableDir(); }

std::string SettingsDir() {
  std::string exeDir = ExecutableDir();
  if (FolderWritable(exeDir)) return exeDir;
  std::string dir = KnownFolder(CSIDL_APPDATA);
  return dir.empty() ? exeDir : dir;
}

std::string WorkParentDir() {
  std::string exeDir = ExecutableDir();
  if (FolderWritable(exeDir)) return exeDir;
  std::string dir = KnownFolder(CSIDL_LOCAL_APPDATA);
  return dir.empty() ? exeDir : dir;
}

std::string DataDir() {
  std::string exeDir = ExecutableDir();
  if (FolderWritable(exeDir)) return exeDir;
  std::string dir = KnownFolder(CSIDL_LOCAL_APPDATA);
  return dir.empty() ? exeDir : dir;
}

}  // namespace platform
