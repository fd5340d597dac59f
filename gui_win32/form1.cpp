#include "gui_win32/form1.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

#include "charts/csv_export.h"
#include "charts/working_folder.h"
#include "session/captions.h"
#include "gui_win32/error_box.h"
#include "gui_win32/win_text.h"
#include "platform/cp932.h"
#include "platform/io_error.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "settings/ini_write_error.h"

#ifndef BMSLIST_VERSION
#define BMSLIST_VERSION "0.1.0"
#endif

namespace {

constexpr wchar_t kClassName[] = L"TForm1";
constexpr char kColumnsSection[] = "Clumns";  // spelt so in every settings file
constexpr char kFormsSection[] = "Forms";
constexpr char kPlacementPrefix[] = "Property";
constexpr char kExportSection[] = "Export";
constexpr char kExportFolderKey[] = "Folder";
constexpr wchar_t kDefaultCsvName[] = L"bmslist.csv";
constexpr int kDesignedColumnWidth = 50;
constexpr int kDesignedWidth = 633, kDesignedHeight = 378;
constexpr UINT kIdReadCsv = 101, kIdOutCsv = 102, kIdQuit = 103;
constexpr UINT kRunDrops = WM_APP + 1;

struct Column {
  const wchar_t* caption;
  int format;
};
constexpr Column kColumns[kChartColumnCount] = {
    {L"Filename", LVCFMT_LEFT},   {L"Artist", LVCFMT_LEFT}, {L"Genre", LVCFMT_LEFT},  {L"Title", LVCFMT_LEFT},
    {L"Difficulty", LVCFMT_RIGHT}, {L"Player", LVCFMT_RIGHT}, {L"BPM", LVCFMT_RIGHT},  {L"MIDI", LVCFMT_CENTER},
    {L"WAV", LVCFMT_CENTER},      {L"BGA", LVCFMT_CENTER},  {L"Date", LVCFMT_RIGHT},   {L"ArcName", LVCFMT_LEFT},
    {L"ArcPath", LVCFMT_LEFT},
};

std::string WidthKey(int column) { return "Width" + std::to_string(column); }

}  // namespace

TForm1::TForm1() { list_.SetObserver(this); }

TForm1::~TForm1() {
  list_.SetObserver(nullptr);
  delete pipeline_;
  if (owner_) platform::DestroyMessageWindow(owner_);
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

bool TForm1::Create() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  // The stored layout: caption, font, designed size at (10, 10).
  hwnd_ = CreateWindowExW(WS_EX_ACCEPTFILES, kClassName, L"bmslist " BMSLIST_VERSION, WS_OVERLAPPEDWINDOW, 10, 10,
                          kDesignedWidth, kDesignedHeight, nullptr, nullptr, inst, this);
  if (!hwnd_) return false;
  // ＭＳ Ｐゴシック, 9 points.
  HDC dc = GetDC(hwnd_);
  int height = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(hwnd_, dc);
  font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, W(kWindowFontFamily).c_str());
  CreateMenu();
  CreateList();
  strip_.Create(hwnd_, font_);
  strip_.End();

  // A hidden window stands for this one towards the archiver libraries: it
  // answers 0, and bringing it to the foreground brings this window.
  owner_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; });
  platform::SetForegroundHook(owner_, [this] { ::SetForegroundWindow(hwnd_); });
  ApplyMainWindowSettings(archiveFile_);
  pipeline_ = new DropPipeline(list_, archiveFile_, owner_);
  // One archive at a time: the progress below writes to the strip and pumps
  // this thread's messages, which only this thread may do.
  pipeline_->bothCores = false;
  archiveFile_.OnProgress = [this](TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
    if (info && (state == ARCEXTRACT_BEGIN || state == ARCEXTRACT_INPROCESS))
      strip_.Entry(platform::ExtractFileName(info->exinfo.szDestFileName));
    KeepWindowAlive();
  };
  pipeline_->onArchiveStarting = [this](std::size_t i, std::size_t n, const std::string& path) {
    KeepWindowAlive();
    if (Stopping()) return false;
    strip_.Archive(static_cast<int>(i), static_cast<int>(n), platform::ExtractFileName(path));
    KeepWindowAlive();
    return true;
  };
  pipeline_->onRowAdded = [this](std::size_t) { KeepWindowAlive(); };
  // This window has no status bar yet: of the problems only the names
  // code page 932 cannot hold are shown, as they always were here.
  pipeline_->onArchiveProblem = [this](const ArchiveProblem& problem) {
    if (problem.unlistedNames.empty()) return;
    std::string names;
    for (const std::string& n : problem.unlistedNames) names += (names.empty() ? "" : ", ") + platform::Utf8ToCp932(n);
    ShowErrorBox(hwnd_, kUnusableNamesMessage + names);
  };

  // FormCreate: stored column widths and placement, the working folder.
  ini.SetDefaultDir(ddApplication);
  ini.SetFence(fnNone);
  ini.Loaded();
  for (int i = 0; i < kChartColumnCount; ++i) {
    int width = ini.ReadInteger(kColumnsSection, WidthKey(i), kDesignedColumnWidth);
    if (width >= 0) ListView_SetColumnWidth(lv_, i, width);
  }
  ini.LoadPlacement(kFormsSection, kPlacementPrefix, *this);
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
  AppendMenuW(fileMenu_, MF_STRING, kIdReadCsv, W(kReadCsvCaption).c_str());
  AppendMenuW(fileMenu_, MF_STRING, kIdOutCsv, W(kOutCsvCaption).c_str());
  AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(fileMenu_, MF_STRING, kIdQuit, W(kQuitCaption).c_str());
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu_), W(kFileMenuCaption).c_str());
  SetMenu(hwnd_, menu_);
}

void TForm1::CreateList() {
  lv_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS,
                        0, 0, 0, 0, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(lv_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
  ListView_SetExtendedListViewStyle(lv_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  for (int i = 0; i < kChartColumnCount; ++i) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.fmt = kColumns[i].format;
    c.cx = kDesignedColumnWidth;
    c.pszText = const_cast<wchar_t*>(kColumns[i].caption);
    c.iSubItem = i;
    ListView_InsertColumn(lv_, i, &c);
  }
}

void TForm1::Layout() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  int stripHeight = strip_.Visible() ? DropStrip::kHeight : 0;
  MoveWindow(lv_, 0, 0, rc.right, rc.bottom - stripHeight, TRUE);
  if (stripHeight) strip_.Layout(rc.bottom - stripHeight, rc.right);
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
      if (!busy_) RunQueue();
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
      return result;
    }
    case WM_INITMENUPOPUP:
      // Items without a handler are greyed whenever the menu opens.
      EnableMenuItem(fileMenu_, kIdReadCsv, MF_BYCOMMAND | MF_GRAYED);
      EnableMenuItem(fileMenu_, kIdQuit, MF_BYCOMMAND | MF_GRAYED);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdOutCsv) Button1Click();
      else if (reinterpret_cast<HWND>(lParam) == strip_.CancelButton()) strip_.RequestCancel();
      return 0;
    case WM_CLOSE:
      if (busy_) {
        // Closing in the middle of an archive would leave its files behind
        // in the working folder; stop after it instead, then close.
        closePending_ = true;
        return 0;
      }
      try {
        FormClose();
      } catch (const EIniWriteError& e) {
        // Shown, then the window closes anyway: it would only fail the same
        // way at every further attempt.
        ShowErrorBox(hwnd_, e.what());
      }
      DestroyWindow(hwnd_);
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

void TForm1::OnDropFiles(HDROP drop) {
  std::vector<std::string> paths;
  std::string unusable;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    UINT len = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(len + 1, L'\0');
    DragQueryFileW(drop, i, name.data(), len + 1);
    name.resize(len);
    bool exact = true;
    std::string path = platform::win32::WideToCp932(name, &exact);
    if (exact) {
      paths.push_back(std::move(path));
    } else {
      // Passing it on with "?" in place of a character could open another
      // file of that name; it is left out and said so.
      if (!unusable.empty()) unusable += ", ";
      unusable += path;
    }
  }
  DragFinish(drop);
  // Handled once the drag has finished, so the file manager is not kept
  // waiting while the archives are read.
  queue_.push_back(std::move(paths));
  PostMessageW(hwnd_, kRunDrops, 0, 0);
  if (!unusable.empty()) ShowErrorBox(hwnd_, kUnusableNamesMessage + unusable);
}

void TForm1::Drop(const std::vector<std::string>& paths) {
  queue_.push_back(paths);
  if (!busy_) RunQueue();
}

void TForm1::RunQueue() {
  busy_ = true;
  while (!queue_.empty() && !Stopping()) {
    std::vector<std::string> paths = std::move(queue_.front());
    queue_.erase(queue_.begin());
    strip_.Begin(static_cast<int>(paths.size()));
    Layout();
    pipeline_->WMDropFiles(paths);
  }
  // A cancel drops what was queued behind the cancelled drop as well.
  queue_.clear();
  strip_.End();
  busy_ = false;
  if (hwnd_) Layout();
  if (closePending_ && hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void TForm1::KeepWindowAlive() {
  MSG m;
  DWORD start = GetTickCount();
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      strip_.RequestCancel();
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
    if (GetTickCount() - start > 20) break;
  }
}

void TForm1::OnNotify(NMHDR* hdr, LRESULT& result) {
  if (hdr->hwndFrom != lv_) return;
  switch (hdr->code) {
    case LVN_COLUMNCLICK:
      LVColumnClick(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
      break;
    case LVN_GETDISPINFOW: {
      auto* di = reinterpret_cast<NMLVDISPINFOW*>(hdr);
      std::size_t row = static_cast<std::size_t>(di->item.iItem);
      if ((di->item.mask & LVIF_TEXT) && row < list_.Count()) {
        std::wstring text = W(list_.Row(row).ColumnText(di->item.iSubItem));
        lstrcpynW(di->item.pszText, text.c_str(), di->item.cchTextMax);
      }
      break;
    }
    case LVN_ENDLABELEDITW: {
      auto* di = reinterpret_cast<NMLVDISPINFOW*>(hdr);
      if (di->item.pszText && static_cast<std::size_t>(di->item.iItem) < list_.Count()) {
        list_.SetCaption(static_cast<std::size_t>(di->item.iItem), platform::win32::WideToCp932(di->item.pszText));
        result = TRUE;
      }
      break;
    }
    case LVN_ITEMCHANGED: {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
      if (syncing_ || !(nm->uChanged & LVIF_STATE)) break;
      if ((nm->uNewState ^ nm->uOldState) & LVIS_STATEIMAGEMASK) {
        std::size_t row = static_cast<std::size_t>(nm->iItem);
        bool checked = ((nm->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
        if (row < list_.Count() && list_.Row(row).checked != checked) list_.SetChecked(row, checked);
      }
      break;
    }
    default:
      break;
  }
}

void TForm1::LVColumnClick(int column) { list_.ColumnClick(column); }

void TForm1::Button1Click() {
  // As the Qt window: the folder of the last export, the name bmslist.csv,
  // a question before replacing a file.
  std::wstring folder = W(ini.ReadString(kExportSection, kExportFolderKey, ""));
  DWORD attr = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
  bool folderOk = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
  wchar_t file[32768];
  lstrcpynW(file, kDefaultCsvName, 32768);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = L"CSV(*.csv)\0*.csv\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = 32768;
  ofn.lpstrInitialDir = folderOk ? folder.c_str() : nullptr;
  ofn.lpstrDefExt = L"csv";
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&ofn)) return;
  bool exact = true;
  std::string path = platform::win32::WideToCp932(file, &exact);
  if (!exact) {
    // A name CP932 cannot hold would be written under another name.
    ShowErrorBox(hwnd_, platform::IoErrorText(platform::kIoPathNotFound));
    return;
  }
  ExportCsv(path);
}

void TForm1::ExportCsv(const std::string& path) {
  try {
    WriteChartCsv(list_, path);
  } catch (const std::exception& e) {
    ShowErrorBox(hwnd_, e.what());
    return;
  }
  try {
    ini.WriteString(kExportSection, kExportFolderKey, platform::ExtractFilePath(path));
  } catch (const EIniWriteError&) {
    // The export itself succeeded; an unwritable settings file is reported
    // when the window closes and writes its layout.
  }
}

void TForm1::FormClose() {
  for (int i = 0; i < kChartColumnCount; ++i) ini.WriteInteger(kColumnsSection, WidthKey(i), ListView_GetColumnWidth(lv_, i));
  ini.SavePlacement(kFormsSection, kPlacementPrefix, *this);
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

void TForm1::SyncCheck(std::size_t row) {
  syncing_ = true;
  ListView_SetCheckState(lv_, static_cast<int>(row), list_.Row(row).checked);
  syncing_ = false;
}

void TForm1::RowAppended(std::size_t index) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(index);
  item.pszText = LPSTR_TEXTCALLBACKW;
  syncing_ = true;
  ListView_InsertItem(lv_, &item);
  syncing_ = false;
  SyncCheck(index);
  // Drawn now: the pipeline adds rows without returning to the message loop.
  ListView_RedrawItems(lv_, static_cast<int>(index), static_cast<int>(index));
  UpdateWindow(lv_);
}

void TForm1::RowChanged(std::size_t index) {
  SyncCheck(index);
  ListView_RedrawItems(lv_, static_cast<int>(index), static_cast<int>(index));
  UpdateWindow(lv_);
}

void TForm1::RowsReordered() {
  for (std::size_t i = 0; i < list_.Count(); ++i) SyncCheck(i);
  InvalidateRect(lv_, nullptr, TRUE);
}
