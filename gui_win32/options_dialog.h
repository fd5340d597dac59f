// SPDX-License-Identifier: MIT
#pragma once
// TForm2 on Windows: the options window (オプション), with the choices of
// the Qt window's: chart files, hash columns, charts-only unpacking,
// unpacking ahead, CSV format, display encoding, number sorting, the song
// folder (typed or chosen with 参照...), the preview program, and the
// collection (its columns' box, the song folders added with the folder
// picker and removed, the difficulty tables listed and removed). It edits a
// copy of the options; the main window applies and stores them, and drops
// the removed tables, when the user confirms.
#include <string>
#include <vector>

#include "library/library_index.h"
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
  // The window shown, for the tests' sake (null when none is).
  static TForm2* ShownForm();

  // The tables listed (set before Execute) and those the user removed.
  void SetTables(std::vector<library::StoredTable> tables) { tables_ = std::move(tables); }
  const std::vector<std::string>& RemovedTables() const { return removedTables_; }
  // A song folder added to the list (what the folder picker gives); one
  // listed already, or that the settings file cannot name, is not.
  bool AddLibraryFolder(const std::wstring& folder);
  void RemoveSelectedLibraryFolder();
  void RemoveSelectedTable();
  HWND LibraryFolders() const { return libraryFolders_; }
  HWND Tables() const { return tableList_; }
  HWND LibraryColumnsBox() const { return libraryColumns_; }

 private:
  static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void SetOptions(const SessionOptions& options);
  SessionOptions Options() const;
  void BrowseLibrary();
  int CreateLibraryControls(int y);
  void FillTables();

  HWND owner_;
  HFONT font_;
  HWND hwnd_ = nullptr;
  HWND chartFiles_ = nullptr, hashColumns_ = nullptr, chartsOnly_ = nullptr, unpackAhead_ = nullptr;
  HWND csvFormat_ = nullptr, displayEncoding_ = nullptr, numericSort_ = nullptr, chartFacts_ = nullptr;
  HWND songLibrary_ = nullptr, previewCommand_ = nullptr;
  HWND folderArchives_ = nullptr;
  int result_ = 0;  // IDOK or IDCANCEL once the user has chosen

  // The collection.
  HWND libraryColumns_ = nullptr, libraryFolders_ = nullptr, tableList_ = nullptr;
  std::vector<library::StoredTable> tables_;
  std::vector<std::string> removedTables_;
};
