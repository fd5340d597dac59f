// SPDX-License-Identifier: MIT
#pragma once
// TForm2 on Windows: the options window (オプション), with the choices of
// the Qt window's: chart files, hash columns, charts-only unpacking,
// unpacking ahead, CSV format, display encoding, number sorting, the song
// folder (typed or chosen with 参照...) and the preview program. It edits a
// copy of the options; the main window applies and stores them when the
// user confirms.
#include "platform/win32/windows_api.h"
#include "session/session_options.h"

class TForm2 {
 public:
  TForm2(HWND owner, HFONT font) : owner_(owner), font_(font) {}

  // Shows the window modally with `options`; true, with `options` changed
  // to what the user chose, when the user confirms.
  bool Execute(SessionOptions& options);
  // The window while it is shown (for the tests' sake), else null.
  static HWND Shown();

 private:
  static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void SetOptions(const SessionOptions& options);
  SessionOptions Options() const;
  void BrowseLibrary();

  HWND owner_;
  HFONT font_;
  HWND hwnd_ = nullptr;
  HWND chartFiles_ = nullptr, hashColumns_ = nullptr, chartsOnly_ = nullptr, unpackAhead_ = nullptr;
  HWND csvFormat_ = nullptr, displayEncoding_ = nullptr, numericSort_ = nullptr, chartFacts_ = nullptr;
  HWND songLibrary_ = nullptr, previewCommand_ = nullptr;
  HWND folderArchives_ = nullptr;
  int result_ = 0;  // IDOK or IDCANCEL once the user has chosen
};
