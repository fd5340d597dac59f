// SPDX-License-Identifier: MIT
#include "gui_win32/clipboard.h"

#include <cstring>

bool SetClipboardText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (block) {
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!done) GlobalFree(block);  // the clipboard took it only on success
  }
  CloseClipboard();
  return done;
}

std::wstring ClipboardText(HWND owner) {
  if (!OpenClipboard(owner)) return {};
  std::wstring text;
  if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(block))) text = p;
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}
