// SPDX-License-Identifier: MIT
// File-system services over the wide Win32 API. Paths are CP932, converted
// with code page 932 explicitly; found names CP932 cannot hold are reported
// by their UTF-8 form (FoundFile::fsName), as on Linux.
#include "platform/files.h"

#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {
std::wstring W(std::string_view path) { return win32::PathToWide(path); }

DWORD Attributes(std::string_view path) { return GetFileAttributesW(W(path).c_str()); }

bool DeleteWide(const std::wstring& path) {
  DWORD attr = GetFileAttributesW(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return DeleteFileW(path.c_str()) != 0;  // refuses read-only files, as the rule is
}
}  // namespace

bool CreateDirectory(std::string_view path) { return CreateDirectoryW(W(path).c_str(), nullptr) != 0; }

bool ForceDirectories(std::string_view path) {
  std::string p(path);
  while (p.size() > 1 && EndsWithDelimiter(p) && !(p.size() == 3 && p[1] == ':')) p.pop_back();
  if (p.empty() || DirectoryExists(p)) return !p.empty();
  std::string parent = ExtractFilePath(p);
  if (!parent.empty() && parent != p) ForceDirectories(parent);
  return CreateDirectory(p) || DirectoryExists(p);
}

bool DeleteFile(std::string_view path) { return DeleteWide(W(path)); }

namespace {
// The volume serial number and file index of a file or folder; false when
// it cannot be opened.
bool FileIdentity(const FsPath& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileW(win32::FsToWide(path.utf8).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}
}  // namespace

bool SameFile(const FsPath& a, const FsPath& b) {
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  return FileIdentity(a, ia) && FileIdentity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool DeleteFsFile(std::string_view dir, std::string_view fsName) {
  return DeleteWide(W(IncludeTrailingDelimiter(dir)) + win32::Utf8ToWide(fsName));
}

bool FileExists(std::string_view path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(std::string_view path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool SetCurrentDirectory(std::string_view path) { return SetCurrentDirectoryW(W(path).c_str()) != 0; }

std::string GetCurrentDirectory() {
  wchar_t buf[32768];
  DWORD n = GetCurrentDirectoryW(32768, buf);
  if (n == 0 || n >= 32768) return {};
  return IncludeTrailingDelimiter(win32::WideToCp932(std::wstring_view(buf, n)));
}

std::vector<FoundFile> FindFiles(std::string_view dir, const std::vector<std::string>& masks,
                                 std::vector<std::string>* unlisted, std::vector<std::string>* unlistedFolders) {
  std::vector<FoundFile> out;
  if (unlisted) unlisted->clear();
  if (unlistedFolders) unlistedFolders->clear();
  std::wstring pattern = W(dir.empty() ? std::string_view(".") : dir);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(pattern.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    std::wstring_view wname = data.cFileName;
    if (wname == L"." || wname == L"..") continue;
    FoundFile f;
    f.fsName = win32::WideToUtf8(wname);
    bool isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool exact = true;
    f.name = win32::WideToCp932(wname, &exact);
    if (!exact) {
      // Matched in its CP932 form with "?" for what CP932 lacks: ASCII
      // masks ("*.bms") match it as they would the real name.
      std::vector<std::string>* into = isDir ? unlistedFolders : unlisted;
      if (into && MatchesAnyMask(f.name, masks)) into->push_back(f.fsName);
      continue;
    }
    if (!MatchesAnyMask(f.name, masks)) continue;
    f.directory = isDir;
    f.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    f.hidden = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    out.push_back(std::move(f));
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return out;
}

}  // namespace platform
