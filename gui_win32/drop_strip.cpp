// SPDX-License-Identifier: MIT
#include "gui_win32/drop_strip.h"

#include <commctrl.h>

#include "gui_win32/win_text.h"
#include "session/captions.h"
#include "session/status_text.h"

void DropStrip::Create(HWND parent, HFONT font) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  archive_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, 0, 0, 0, 0, parent,
                             nullptr, inst, nullptr);
  entry_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS, 0, 0, 0, 0, parent,
                           nullptr, inst, nullptr);
  bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr, inst, nullptr);
  cancelButton_ = CreateWindowExW(0, L"BUTTON", W(kCancelCaption).c_str(), WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                                  0, 0, parent, nullptr, inst, nullptr);
  for (HWND h : {archive_, entry_, bar_, cancelButton_}) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void DropStrip::Begin(int count) {
  stopping_ = false;
  visible_ = true;
  SendMessageW(bar_, PBM_SETRANGE32, 0, count);
  SendMessageW(bar_, PBM_SETPOS, 0, 0);
  SetWindowTextW(archive_, L"");
  SetWindowTextW(entry_, L"");
  EnableWindow(cancelButton_, TRUE);
  for (HWND h : {archive_, entry_, bar_, cancelButton_}) ShowWindow(h, SW_SHOW);
}

void DropStrip::Archive(int index, int count, const std::string& text) {
  SendMessageW(bar_, PBM_SETRANGE32, 0, count);
  SendMessageW(bar_, PBM_SETPOS, index, 0);
  SetWindowTextW(archive_, W(text).c_str());
  if (!stopping_) SetWindowTextW(entry_, L"");
}

void DropStrip::Entry(const std::string& nameCp932) {
  if (!stopping_) SetWindowTextW(entry_, W(nameCp932).c_str());  // the note that a stop is coming stays
}

void DropStrip::End() {
  visible_ = false;
  for (HWND h : {archive_, entry_, bar_, cancelButton_}) ShowWindow(h, SW_HIDE);
}

void DropStrip::RequestCancel() {
  if (!visible_ || stopping_) return;
  stopping_ = true;
  EnableWindow(cancelButton_, FALSE);
  SetWindowTextW(entry_, U(StoppingText()).c_str());
  if (onCancel) onCancel();
}

std::wstring DropStrip::ArchiveText() const {
  wchar_t text[1024];
  GetWindowTextW(archive_, text, 1024);
  return text;
}

void DropStrip::Layout(int top, int width) {
  const int gap = 4, button = 80, bar = 120, h = kHeight - 2 * gap;
  // The archive's name gets the larger share: it is what the user follows.
  int rest = width - button - bar - 5 * gap;
  if (rest < 0) rest = 0;
  const int archiveWidth = rest * 3 / 5, entryWidth = rest - archiveWidth;
  int x = gap;
  MoveWindow(archive_, x, top + gap + 3, archiveWidth, h - 3, TRUE);
  x += archiveWidth + gap;
  MoveWindow(entry_, x, top + gap + 3, entryWidth, h - 3, TRUE);
  x += entryWidth + gap;
  MoveWindow(bar_, x, top + gap, bar, h, TRUE);
  x += bar + gap;
  MoveWindow(cancelButton_, x, top + gap, button, h, TRUE);
}
