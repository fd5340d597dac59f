// SPDX-License-Identifier: MIT
#pragma once
// The strip at the bottom of the main window while a drop is handled:
// which archive of how many, the entry being written, a progress bar and a
// キャンセル button (Esc does the same).
#include <functional>
#include <string>

#include "platform/win32/windows_api.h"

class DropStrip {
 public:
  void Create(HWND parent, HFONT font);
  static constexpr int kHeight = 28;

  void Begin(int count);
  // `text` (CP932) says which archive of how many (ArchiveProgressText).
  void Archive(int index, int count, const std::string& text);
  void Entry(const std::string& nameCp932);
  void End();
  bool Visible() const { return visible_; }
  // Lays the strip out `width` wide with its top at `top`.
  void Layout(int top, int width);

  // The button or Esc: the button greys and the strip says a stop is coming.
  void RequestCancel();
  std::function<void()> onCancel;
  HWND CancelButton() const { return cancelButton_; }
  std::wstring ArchiveText() const;

 private:
  HWND archive_ = nullptr, entry_ = nullptr, bar_ = nullptr, cancelButton_ = nullptr;
  bool visible_ = false;
  bool stopping_ = false;
};
