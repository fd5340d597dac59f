#pragma once
// A fresh folder under the Windows temporary folder, removed afterwards.
#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/wide.h"

class WinTempDir {
 public:
  WinTempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    std::wstring dir = std::wstring(base) + L"bmslist-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                       std::to_wstring(++counter);
    CreateDirectoryW(dir.c_str(), nullptr);
    wide_ = dir;
    path_ = platform::win32::WideToCp932(dir) + "\\";
  }
  ~WinTempDir() { RemoveTree(wide_); }
  // CP932, with a trailing "\".
  const std::string& Path() const { return path_; }
  const std::wstring& Wide() const { return wide_; }

 private:
  static void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::wstring n = d.cFileName;
        if (n == L"." || n == L"..") continue;
        std::wstring full = dir + L"\\" + n;
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
        else DeleteFileW(full.c_str());
      } while (FindNextFileW(h, &d));
      FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
  }
  std::wstring wide_;
  std::string path_;
};
