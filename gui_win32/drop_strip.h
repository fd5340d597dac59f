#pragma once
// The strip at the bottom of the main window while a drop is handled:
// which archive of how many, the entry being written, a progress bar and a
// Cancel button (Esc does the same).
#include <string>

#include "platform/win32/windows_api.h"

class DropStrip {
 public:
  void Create(HWND parent, HFONT font);
  static constexpr int kHeight = 28;

  void Begin(int count);
  void Archive(int index, int count, const std::string& nameCp932);
  void Entry(const std::string& nameCp932);
  void End();
  bool Visible() const { return visible_; }
  // Lays the strip out along the bottom of the client area `width` wide,
  // with its top at `top`.
  void Layout(int top, int width);

  bool CancelRequested() const { return cancel_; }
  void RequestCancel() { cancel_ = true; }
  HWND CancelButton() const { return cancel_button_; }

 private:
  HWND archive_ = nullptr, entry_ = nullptr, bar_ = nullptr, cancel_button_ = nullptr;
  bool visible_ = false;
  bool cancel_ = false;
};
