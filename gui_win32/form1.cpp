// SPDX-License-Identifier: MIT
#include "gui_win32/form1.h"

#include "gui_win32/window_class.h"

#include <commctrl.h>

#include <cstring>

#include "charts/csv_export.h"
#include "charts/working_folder.h"
#include "gui_win32/clipboard.h"
#include "gui_win32/error_box.h"
#include "gui_win32/file_dialogs.h"
#include "gui_win32/options_dialog.h"
#include "gui_win32/problem_list.h"
#include "gui_win32/win_text.h"
#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/paths.h"
#include "session/captions.h"
#include "session/column_table.h"
#include "session/export_target.h"
#include "session/product.h"
#include "session/settings_keys.h"
#include "session/status_text.h"
#include "settings/ini_write_error.h"

namespace {

constexpr wchar_t kClassName[] = L"TForm1";

}  // namespace

TForm1::TForm1() = default;

TForm1::~TForm1() {
  problems_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
  if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
  if (font_) DeleteObject(font_);
}

bool TForm1::Create() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(kClassName, Procedure, LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION))))
    return false;
  // The stored layout: caption, font, designed size and place.
  hwnd_ = CreateWindowExW(WS_EX_ACCEPTFILES, kClassName, U(ProductCaption()).c_str(), WS_OVERLAPPEDWINDOW,
                          kDesignedWindowLeft, kDesignedWindowTop, kDesignedWindowWidth, kDesignedWindowHeight, nullptr,
                          nullptr, inst, this);
  if (!hwnd_) return false;
  // ＭＳ Ｐゴシック, 9 points.
  HDC dc = GetDC(hwnd_);
  const int height = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(hwnd_, dc);
  font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, W(kWindowFontFamily).c_str());
  CreateMenu();
  listView_.Create(hwnd_, font_);
  listView_.onChecksChanged = [this] { ScheduleCount(); };
  listView_.SetLookups(&library_);
  library_.onChanged = [this] { listView_.LookupsChanged(); };
  status_.Create(hwnd_, font_);
  strip_.Create(hwnd_, font_);
  strip_.onCancel = [this] { session_.RequestCancel(); };
  strip_.End();

  // FormCreate: stored column widths, placement and options; the working folder.
  for (int i = 0; i < kChartColumnCount; ++i) listView_.SetColumnWidth(i, settings_.ColumnWidth(i));
  settings_.LoadPlacement(*this);
  ApplyOptions(settings_.ReadOptions());
  // Made if missing; a failure shows later as an archive that yields no rows.
  CreateWorkingFolder();
  Layout();
  return true;
}

void TForm1::Show() {
  if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

void TForm1::CreateMenu() {
  menu_ = ::CreateMenu();
  fileMenu_ = CreatePopupMenu();
  AppendMenuW(fileMenu_, MF_STRING, kIdOpen, (W(kOpenCaption) + L"\tCtrl+O").c_str());
  AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(fileMenu_, MF_STRING, kIdReadCsv, W(kReadCsvCaption).c_str());
  AppendMenuW(fileMenu_, MF_STRING, kIdOutCsv, W(kOutCsvCaption).c_str());
  AppendMenuW(fileMenu_, MF_STRING, kIdImportTable, U(kImportTableCaption).c_str());
  AppendMenuW(fileMenu_, MF_STRING, kIdOptions, W(kOptionsMenuCaption).c_str());
  AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(fileMenu_, MF_STRING, kIdQuit, W(kQuitCaption).c_str());
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu_), W(kFileMenuCaption).c_str());
  editMenu_.Create(menu_);
  SetMenu(hwnd_, menu_);
  std::vector<ACCEL> keys = EditMenu::Shortcuts();
  keys.push_back({FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(kIdOpen)});
  shortcuts_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void TForm1::Layout() {
  if (!hwnd_ || !listView_.Handle()) return;
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int statusHeight = status_.Layout();
  const int stripHeight = strip_.Visible() ? DropStrip::kHeight : 0;
  const int listHeight = rc.bottom - statusHeight - stripHeight;
  MoveWindow(listView_.Handle(), 0, 0, rc.right, listHeight > 0 ? listHeight : 0, TRUE);
  if (stripHeight) strip_.Layout(rc.bottom - statusHeight - stripHeight, rc.right);
}

LRESULT CALLBACK TForm1::Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<TForm1*>(cs->lpCreateParams)->hwnd_ = h;
  }
  auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!form) return DefWindowProcW(h, msg, wParam, lParam);
  return form->Handle(msg, wParam, lParam);
}

LRESULT TForm1::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case kRunDrops:
      RunDrops();
      return 0;
    case kBringToFront:
      SetForegroundWindow(hwnd_);
      return 0;
    case kRefreshLibrary:
      library_.Refresh();
      return 0;
    case kCountRows: {
      countScheduled_ = false;
      std::size_t checked = 0;
      for (const ChartRow& row : List().Rows()) checked += row.checked;
      status_.SetRows(List().Count(), checked);
      return 0;
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
      return result;
    }
    case WM_MENUCHAR:
      // Alt+F opens the File menu: its caption carries no "&F" of its own.
      if ((LOWORD(wParam) == 'f' || LOWORD(wParam) == 'F') && reinterpret_cast<HMENU>(lParam) == menu_)
        return MAKELRESULT(0, MNC_EXECUTE);
      break;
    case WM_INITMENUPOPUP:
      // What cannot run now is greyed whenever a menu opens.
      EnableMenuItem(fileMenu_, kIdReadCsv, MF_BYCOMMAND | (session_.Busy() ? MF_GRAYED : MF_ENABLED));
      editMenu_.UpdateEnabled();
      return 0;
    case WM_CONTEXTMENU:
      // A right click on the list, Shift+F10 or the menu key there.
      if (reinterpret_cast<HWND>(wParam) == listView_.Handle()) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) at = listView_.ContextMenuPoint();
        editMenu_.ShowContextMenu(at);
        return 0;
      }
      break;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void TForm1::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (lParam && reinterpret_cast<HWND>(lParam) == strip_.CancelButton()) {
    strip_.RequestCancel();
    return;
  }
  switch (LOWORD(wParam)) {
    case kIdOpen:
      OpenFiles(AskArchives(hwnd_));
      break;
    case kIdReadCsv:
      ImportCsvClick();
      break;
    case kIdOutCsv:
      Button1Click();
      break;
    case kIdOptions:
      AOptionsClick();
      break;
    case kIdImportTable:
      ImportTableClick();
      break;
    case kIdQuit:
      PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      break;
    default:
      editMenu_.OnCommand(LOWORD(wParam));
      break;
  }
}

void TForm1::OnClose() {
  if (!session_.RequestClose()) {
    // Closing in the middle of an archive would leave its files behind in
    // the working folder; the session stops after it instead, then closes.
    return;
  }
  try {
    FormClose();
  } catch (const EIniWriteError& e) {
    // Shown, then the window closes anyway: it would only fail the same way
    // at every further attempt.
    ShowErrorBox(hwnd_, e.what());
  }
  problems_.reset();
  DestroyWindow(hwnd_);
}

void TForm1::FormClose() {
  // Every key of the close, one write of the file.
  std::vector<int> widths;
  for (int i = 0; i < listView_.ColumnCount(); ++i) widths.push_back(listView_.ColumnWidth(i));
  settings_.SaveLayout(widths, *this, options_);
}

void TForm1::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> files;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    DragQueryFileW(drop, i, name.data(), length + 1);
    name.resize(length);
    files.push_back(std::move(name));
  }
  DragFinish(drop);
  OpenFiles(files);
}

void TForm1::OpenFiles(const std::vector<std::wstring>& files) {
  std::vector<std::string> paths;
  for (const std::wstring& file : files) {
    if (file.empty()) continue;
    wchar_t full[32768];
    const DWORD n = GetFullPathNameW(file.c_str(), 32768, full, nullptr);
    const std::wstring absolute = n > 0 && n < 32768 ? std::wstring(full, n) : file;
    bool exact = true;
    std::string path = platform::win32::WideToCp932(absolute, &exact);
    // "?" in place of a character could open another file of that name: a
    // name CP932 cannot hold goes on as the marked UTF-8 path.
    paths.push_back(exact ? std::move(path) : platform::kUtf8PathMark + platform::win32::WideToUtf8(absolute));
  }
  if (paths.empty()) return;
  // Handled once the drag has finished, so the file manager is not kept
  // waiting while the archives are read.
  pendingDrops_.push_back(std::move(paths));
  PostMessageW(hwnd_, kRunDrops, 0, 0);
}

void TForm1::RunDrops() {
  std::vector<std::vector<std::string>> drops;
  drops.swap(pendingDrops_);
  // While a drop runs, these wait behind it in the session's queue.
  for (std::vector<std::string>& paths : drops) session_.Drop(std::move(paths));
}

void TForm1::PumpMessages(unsigned ms) {
  MSG m;
  const unsigned long long start = GetTickCount64();
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE && session_.Busy()) {
      strip_.RequestCancel();
      continue;
    }
    if (!TranslateShortcut(m)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    if (GetTickCount64() - start > ms) break;
  }
}

bool TForm1::TranslateShortcut(MSG& m) {
  // The in-place editor keeps its own keys (Ctrl+Z undoes its typing).
  HWND editor = listView_.Handle() ? ListView_GetEditControl(listView_.Handle()) : nullptr;
  if (editor && m.hwnd == editor) return false;
  return hwnd_ && shortcuts_ && TranslateAcceleratorW(hwnd_, shortcuts_, &m);
}

void TForm1::ScheduleCount() {
  // Counted once the message loop runs: a drop adds many rows in a row.
  if (countScheduled_) return;
  countScheduled_ = true;
  PostMessageW(hwnd_, kCountRows, 0, 0);
}

void TForm1::AddProblem(const std::wstring& path, const std::wstring& reasons) {
  if (!problems_) problems_ = std::make_unique<ProblemList>(hwnd_, font_);
  problems_->Add(path, reasons);
  status_.SetProblems(static_cast<std::size_t>(problems_->Count()));
}

void TForm1::OnNotify(NMHDR* hdr, LRESULT& result) {
  if (listView_.OnNotify(hdr, result)) return;
  if (status_.IsProblemsClick(hdr)) {
    if (problems_) problems_->Show();
    return;
  }
  if (hdr->hwndFrom != listView_.Handle()) return;
  switch (hdr->code) {
    case LVN_COLUMNCLICK:
      LVColumnClick(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
      break;
    case NM_DBLCLK:
      OpenArchiveFolder(reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem);
      break;
    case LVN_KEYDOWN: {
      // Ctrl+C on the list only: the in-place editor copies its own text.
      auto* key = reinterpret_cast<NMLVKEYDOWN*>(hdr);
      if (key->wVKey == 'C' && (GetKeyState(VK_CONTROL) & 0x8000)) CopyRows();
      // Delete on the list only, as Ctrl+C: the editor deletes its text.
      if (key->wVKey == VK_DELETE) editMenu_.RemoveCheckedRows();
      break;
    }
    default:
      break;
  }
}

void TForm1::LVColumnClick(int place) {
  library_.ColumnClick(listView_.ColumnAtPlace(place));
  // The sign is the list's: the arrow shows the order the last click produced.
  listView_.ShowSortDirection(place, List().Tag() > 0);
}

void TForm1::CopyRows() {
  const std::vector<std::size_t> rows = listView_.SelectedRows();
  if (rows.empty()) return;
  // The lines as the export would write them: CP932 bytes, or UTF-8.
  std::vector<std::vector<std::string>> lookups;
  const std::string lines = ChartCsvLines(List(), rows, library_.Csv(options_, lookups));
  SetClipboardText(hwnd_, options_.csvFormat == CsvFormat::kUtf8 ? U(lines) : W(lines));
}

void TForm1::OpenArchiveFolder(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= List().Count()) return;
  const ChartRow& chartRow = List().Row(static_cast<std::size_t>(row));
  if (chartRow.subItems[siArcPath].empty()) return;
  const std::string folder = RowArchiveFolder(chartRow);
  const std::wstring path = platform::win32::Utf8ToWide(platform::FsName(folder));
  const DWORD attributes = GetFileAttributesW(path.c_str());
  // A folder moved or deleted since the drop would otherwise open nothing, silently.
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd_, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) <= 32)
    ShowErrorBox(hwnd_, kCannotOpenFolderMessage + platform::Utf8ToCp932(platform::PathUtf8(folder)));
}

void TForm1::ApplyOptions(const SessionOptions& options) {
  options_ = options;
  listView_.SetDisplayEncoding(options.displayEncoding);
  library_.Apply(options);
  listView_.SetOptionalColumns(options, [this](int column) { return settings_.ColumnWidth(column); });
  List().SetNumericSort(options.numericSort);
  session_.scanOptions = options.ScanOptions();
  session_.bothCores = options.BothCores();
}

void TForm1::AOptionsClick() {
  SessionOptions options = options_;
  TForm2 form2(hwnd_, font_);
  std::string error;
  form2.SetTables(library_.Tables(error));
  if (!form2.Execute(options)) return;
  for (const std::string& name : form2.RemovedTables())
    if (library_.RemoveTable(name, error); !error.empty()) ShowErrorBox(hwnd_, platform::Utf8ToCp932(error));
  ApplyOptions(options);
  StoreOptions(options);
  // New folders are scanned now, while the user waits for the columns.
  library_.Refresh();
}

void TForm1::ImportTableClick() {
  const std::wstring file = AskTableFile(hwnd_);
  if (!file.empty()) ImportTable(file);
}

void TForm1::ImportTable(const std::wstring& fileName) {
  library::StoredTable table;
  std::string error;
  if (!library_.ImportTable(platform::win32::WideToUtf8(fileName), table, error)) {
    ShowErrorBox(hwnd_, platform::Utf8ToCp932(error));
    return;
  }
  status_.SetNotice(TableImportedText(table.name, table.entries));
}

void TForm1::StoreOptions(const SessionOptions& options) {
  if (const std::string error = settings_.StoreOptions(options); !error.empty()) ShowErrorBox(hwnd_, error);
}

void TForm1::ImportCsvClick() {
  if (session_.Busy()) return;
  std::wstring folder = W(settings_.ExportFolder());
  if (folder.empty()) folder = DocumentsFolder();
  const std::wstring file = AskCsvToImport(hwnd_, folder);
  if (!file.empty()) ImportCsv(file);
}

void TForm1::ImportCsv(const std::wstring& fileName) {
  std::string error;
  const std::size_t rows = actions_.ImportCsv(platform::win32::WideToUtf8(fileName), error);
  if (!error.empty()) {
    ShowErrorBox(hwnd_, platform::Utf8ToCp932(error));
    return;
  }
  status_.SetNotice(ImportedStatusText(rows));
}

void TForm1::Button1Click() {
  // The last export's folder, else the user's documents; never the current
  // folder, which is the working folder while a drop runs.
  std::wstring folder = W(settings_.ExportFolder());
  if (folder.empty()) folder = DocumentsFolder();
  const std::wstring target = AskCsvTarget(hwnd_, folder, U(kDefaultCsvName));
  if (!target.empty()) ExportCsv(target);
}

void TForm1::ExportCsv(const std::wstring& fileName) {
  try {
    // Written under exactly the name chosen, whatever CP932 can hold.
    std::vector<std::vector<std::string>> lookups;
    ExportList(List(), platform::FsPath{platform::win32::WideToUtf8(fileName)}, library_.Csv(options_, lookups));
  } catch (const std::exception& e) {
    ShowErrorBox(hwnd_, e.what());
    return;
  }
  status_.SetNotice(ExportedStatusText(List().Count()));
  // The folder is remembered in CP932, as the settings file holds text; one
  // that CP932 cannot name is not remembered.
  bool exact = true;
  const std::string path = platform::win32::WideToCp932(fileName, &exact);
  if (exact) settings_.RememberExportFolder(path);
}

bool TForm1::GetWindowPlacement(platform::WindowPlacement& placement) const {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!::GetWindowPlacement(hwnd_, &wp)) return false;
  static_assert(sizeof wp == sizeof placement, "the same record");
  std::memcpy(static_cast<void*>(&placement), &wp, sizeof wp);
  return true;
}

bool TForm1::SetWindowPlacement(const platform::WindowPlacement& placement) {
  WINDOWPLACEMENT wp;
  std::memcpy(&wp, static_cast<const void*>(&placement), sizeof wp);
  wp.length = sizeof wp;
  return ::SetWindowPlacement(hwnd_, &wp) != 0;
}
