// SPDX-License-Identifier: MIT
#pragma once
// The main window's status bar (the common control): how many rows the list
// holds and how many are checked, how many archives had problems (a click
// there opens their list), and a word on what just happened (an export
// written, a drop cancelled).
#include <cstddef>
#include <string>

#include "platform/win32/windows_api.h"

class StatusBar {
 public:
  void Create(HWND parent, HFONT font);
  HWND Handle() const { return hwnd_; }
  // Follows the parent's size; returns the bar's height.
  int Layout();

  void SetRows(std::size_t rows, std::size_t checked);
  void SetProblems(std::size_t problems);
  // Empty clears it.
  void SetNotice(const std::string& utf8);
  std::wstring Text(int part) const;

  // True when a notification from the bar is a click on the problem count.
  bool IsProblemsClick(const NMHDR* hdr) const;

  static constexpr int kRowsPart = 0, kProblemsPart = 1, kNoticePart = 2;

 private:
  void SetPart(int part, const std::wstring& text);
  HWND hwnd_ = nullptr;
  std::size_t problems_ = 0;
};
