// SPDX-License-Identifier: MIT
#pragma once
// A fresh folder under the Windows temporary folder, removed afterwards,
// and a whole file read through the W API.
#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/wide.h"

// The whole file (CP932 path), read through the W API; empty when it
// cannot be read.
inline std::string ReadAll(const std::string& path) {
  HANDLE h = CreateFileW(platform::win32::Cp932ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

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
