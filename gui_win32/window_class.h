// SPDX-License-Identifier: MIT
#pragma once
// The window class every top-level window of the program registers: its
// procedure, the arrow cursor and the dialog face colour.
#include "platform/win32/windows_api.h"

// Registers `name` once per run; registering it again fails harmlessly.
// True when the class exists afterwards.
inline bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon = nullptr) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = icon;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
