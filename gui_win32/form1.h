// SPDX-License-Identifier: MIT
#pragma once
// TForm1 on Windows: the main window as a Win32 window over the session,
// as the Qt window is: the chart list view, the File menu (開く... Ctrl+O,
// CSV追加読込, export, options, 終了), the 編集 menu and the list's context
// menu (edit_menu), dropped files, the progress strip with キャンセル
// (Esc), the status bar with the row, checked and problem counts, Ctrl+C,
// a double click opening the archive's folder. It only draws, asks and
// forwards: rows, order and bytes are decided in charts/, drops, options
// and settings in session/.
#include <memory>
#include <string>
#include <vector>

#include "gui_win32/chart_list_view.h"
#include "gui_win32/drop_strip.h"
#include "gui_win32/drop_view.h"
#include "gui_win32/edit_menu.h"
#include "gui_win32/status_bar.h"
#include "platform/placement.h"
#include "platform/win32/windows_api.h"
#include "session/library_columns.h"
#include "session/list_actions.h"
#include "session/session.h"
#include "session/session_options.h"
#include "session/window_settings.h"

#include <shellapi.h>

class ProblemList;

class TForm1 : public platform::PlacementWindow {
 public:
  TForm1();
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Makes the window (hidden) and applies the settings; then Show().
  bool Create();
  void Show();
  HWND Handle() const { return hwnd_; }
  ChartList& List() { return session_.List(); }
  Session& DropSession() { return session_; }
  ChartListView& ListView() { return listView_; }
  StatusBar& Status() { return status_; }
  DropStrip& Strip() { return strip_; }
  ProblemList* Problems() const { return problems_.get(); }
  const SessionOptions& Options() const { return options_; }
  ListActions& Actions() { return actions_; }
  EditMenu& Edit() { return editMenu_; }

  // Files to handle as one drop (any form of path, the wide API's names):
  // made absolute; names code page 932 cannot hold are reported, the rest
  // handled once the message loop runs again.
  void OpenFiles(const std::vector<std::wstring>& files);
  void LVColumnClick(int place);  // a place of the header
  // ファイル → 一覧をCSVで出力: the save dialog, then the export.
  void Button1Click();
  // The export itself, to the file the user has chosen.
  void ExportCsv(const std::wstring& fileName);
  // Ctrl+C: the selected rows as CSV lines, as the export writes them.
  void CopyRows();
  void OpenArchiveFolder(int row);
  // Shows the list as the options say and has the next drop read so.
  void ApplyOptions(const SessionOptions& options);
  void AOptionsClick();
  // Writes the options to the settings file; a refusal is shown, and the
  // options hold for this run all the same.
  void StoreOptions(const SessionOptions& options);
  // The collection's columns; ファイル → 難易度表を読み込む...: the open
  // dialog, then the table read in (the result in the status bar, or a box).
  LibraryColumns& Library() { return library_; }
  void ImportTableClick();
  void ImportTable(const std::wstring& fileName);
  // ファイル → CSV追加読込: the open dialog, then the import.
  void ImportCsvClick();
  // The rows of a list exported earlier appended; a box when it is none.
  void ImportCsv(const std::wstring& fileName);

  // For the view: a problem in the status bar and the list behind it.
  void AddProblem(const std::wstring& path, const std::wstring& reasons);
  void Layout();
  // Handles the waiting messages for up to `ms` milliseconds; Esc cancels.
  void PumpMessages(unsigned ms);
  // The main loop's keyboard shortcuts (Ctrl+O); true when `m` was one.
  bool TranslateShortcut(MSG& m);

  bool GetWindowPlacement(platform::WindowPlacement& placement) const override;
  bool SetWindowPlacement(const platform::WindowPlacement& placement) override;

  static constexpr UINT kRunDrops = WM_APP + 1;
  static constexpr UINT kBringToFront = WM_APP + 2;
  static constexpr UINT kCountRows = WM_APP + 3;
  // Brings the collection's columns up to date (after a drop, songs
  // installed): posted, never run from inside the drop itself.
  static constexpr UINT kRefreshLibrary = WM_APP + 4;
  static constexpr UINT kIdOpen = 100, kIdReadCsv = 101, kIdOutCsv = 102, kIdOptions = 104, kIdQuit = 103;
  static constexpr UINT kIdImportTable = 105;

 private:
  static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateMenu();
  void OnDropFiles(HDROP drop);
  void OnNotify(NMHDR* hdr, LRESULT& result);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnClose();
  void RunDrops();
  void ScheduleCount();
  void FormClose();

  WindowSettings settings_;
  DropView dropView_{*this};
  Session session_{dropView_};
  ListActions actions_{session_};
  LibraryColumns library_{session_};
  ChartListView listView_{session_.List()};
  EditMenu editMenu_{*this};
  StatusBar status_;
  DropStrip strip_;
  std::unique_ptr<ProblemList> problems_;
  SessionOptions options_;
  HWND hwnd_ = nullptr;
  HMENU menu_ = nullptr, fileMenu_ = nullptr;
  HFONT font_ = nullptr;
  HACCEL shortcuts_ = nullptr;
  std::vector<std::vector<std::string>> pendingDrops_;
  bool countScheduled_ = false;
};
