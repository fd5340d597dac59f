#include "gui_win32/drop_strip.h"

#include <commctrl.h>

#include "gui_win32/win_text.h"

void DropStrip::Create(HWND parent, HFONT font) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  archive_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFTNOWORDWRAP, 0, 0, 0, 0, parent, nullptr, inst, nullptr);
  entry_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS, 0, 0, 0, 0, parent,
                           nullptr, inst, nullptr);
  bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr, inst, nullptr);
  cancel_button_ = CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, parent,
                                   nullptr, inst, nullptr);
  for (HWND h : {archive_, entry_, bar_, cancel_button_}) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void DropStrip::Begin(int count) {
  cancel_ = false;
  visible_ = true;
  SendMessageW(bar_, PBM_SETRANGE32, 0, count);
  SendMessageW(bar_, PBM_SETPOS, 0, 0);
  SetWindowTextW(archive_, L"");
  SetWindowTextW(entry_, L"");
  for (HWND h : {archive_, entry_, bar_, cancel_button_}) ShowWindow(h, SW_SHOW);
}

void DropStrip::Archive(int index, int count, const std::string& nameCp932) {
  std::wstring text = L"[" + std::to_wstring(index + 1) + L"/" + std::to_wstring(count) + L"] " + W(nameCp932);
  SetWindowTextW(archive_, text.c_str());
  SetWindowTextW(entry_, L"");
  SendMessageW(bar_, PBM_SETPOS, index, 0);
  UpdateWindow(archive_);
}

void DropStrip::Entry(const std::string& nameCp932) {
  SetWindowTextW(entry_, W(nameCp932).c_str());
  UpdateWindow(entry_);
}

void DropStrip::End() {
  visible_ = false;
  for (HWND h : {archive_, entry_, bar_, cancel_button_}) ShowWindow(h, SW_HIDE);
}

void DropStrip::Layout(int top, int width) {
  const int gap = 4, button = 72, bar = 120, h = kHeight - 2 * gap;
  int x = gap;
  int archiveWidth = (width - button - bar - 5 * gap) / 2;
  if (archiveWidth < 0) archiveWidth = 0;
  MoveWindow(archive_, x, top + gap + 3, archiveWidth, h - 3, TRUE);
  x += archiveWidth + gap;
  MoveWindow(entry_, x, top + gap + 3, archiveWidth, h - 3, TRUE);
  x += archiveWidth + gap;
  MoveWindow(bar_, x, top + gap, bar, h, TRUE);
  x += bar + gap;
  MoveWindow(cancel_button_, x, top + gap, button, h, TRUE);
}
