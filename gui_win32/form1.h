#pragma once
// TForm1 on Windows: the main window as a Win32 window with a list view in
// report style (check boxes, in-place caption editing, header clicks), the
// File menu, dropped files (WM_DROPFILES), the progress strip with Cancel
// and the error box. Like the Qt window it only shows and forwards: rows,
// order and bytes are decided in charts/, settings in settings/.
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "drivers/archive_file.h"
#include "gui_win32/drop_strip.h"
#include "platform/placement.h"
#include "platform/win32/windows_api.h"

#include <shellapi.h>
#include "settings/inigt.h"

class TForm1 : public ChartListObserver, public platform::PlacementWindow {
 public:
  TForm1();
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Makes the window (hidden), reads the settings; then Show().
  bool Create();
  void Show();
  HWND Handle() const { return hwnd_; }
  HWND ListView() const { return lv_; }
  ChartList& List() { return list_; }

  // The paths of one drop (CP932, in the order dropped). While a drop runs,
  // further drops wait behind it.
  void Drop(const std::vector<std::string>& paths);
  bool Busy() const { return busy_; }
  void LVColumnClick(int column);
  // The export itself, to a file the user has chosen (CP932).
  void ExportCsv(const std::string& path);

  bool GetWindowPlacement(platform::WindowPlacement& placement) const override;
  bool SetWindowPlacement(const platform::WindowPlacement& placement) override;

  // The column widths and placement, as the close writes them.
  void FormClose();

 private:
  static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateList();
  void CreateMenu();
  void Layout();
  void OnDropFiles(HDROP drop);
  void OnNotify(NMHDR* hdr, LRESULT& result);
  void Button1Click();
  void RunQueue();
  void KeepWindowAlive();
  bool Stopping() const { return strip_.CancelRequested() || closePending_; }
  void SyncCheck(std::size_t row);

  // ChartListObserver
  void RowAppended(std::size_t index) override;
  void RowChanged(std::size_t index) override;
  void RowsReordered() override;

  HWND hwnd_ = nullptr;
  HWND lv_ = nullptr;
  HMENU menu_ = nullptr, fileMenu_ = nullptr;
  HFONT font_ = nullptr;
  DropStrip strip_;
  ChartList list_;
  TArchiveFile archiveFile_;
  platform::WindowHandle owner_ = 0;  // the libraries' owner window
  DropPipeline* pipeline_ = nullptr;
  TIniGT ini;
  std::vector<std::vector<std::string>> queue_;
  std::vector<std::wstring> textCache_;  // keeps the texts handed to the list view alive
  bool busy_ = false;
  bool closePending_ = false;
  bool syncing_ = false;
};
