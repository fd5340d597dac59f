// SPDX-License-Identifier: MIT
#pragma once
// The archives of this session's drops that failed, in part or whole, or
// gave no chart, each with what went wrong (archive, reason, folder); a
// window of its own, owned by the main window, that never holds it up.
#include <string>

#include "platform/win32/windows_api.h"

class ProblemList {
 public:
  ProblemList(HWND owner, HFONT font);
  ~ProblemList();
  ProblemList(const ProblemList&) = delete;
  ProblemList& operator=(const ProblemList&) = delete;

  // `path` as the user would name it (UTF-16), `reasons` in one line.
  void Add(const std::wstring& path, const std::wstring& reasons);
  int Count() const;
  // Shows (or raises) the window.
  void Show();
  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  HWND list_ = nullptr;
};

// "C:\songs\a.zip" -> "a.zip" and "C:\songs" (either delimiter).
void SplitArchivePath(const std::wstring& path, std::wstring& name, std::wstring& folder);
