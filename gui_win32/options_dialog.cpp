// SPDX-License-Identifier: MIT
#include "gui_win32/options_dialog.h"

#include "gui_win32/window_class.h"

#include <commctrl.h>

#include "gui_win32/error_box.h"
#include "gui_win32/file_dialogs.h"
#include "gui_win32/win_text.h"
#include "platform/cp932.h"
#include "session/captions.h"
#include "session/status_text.h"

namespace {

constexpr wchar_t kClassName[] = L"TForm2";
constexpr int kLabelX = 12, kLabelWidth = 130, kControlX = 148, kControlWidth = 300, kRow = 28;
constexpr int kClientWidth = kControlX + kControlWidth + 12;
constexpr int kBrowseWidth = 80, kIdBrowse = 1001;
constexpr int kIdAddFolder = 1002, kIdRemoveFolder = 1003, kIdRemoveTable = 1004;
HWND g_shown = nullptr;
TForm2* g_shownForm = nullptr;

HWND Control(HWND parent, HFONT font, const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w,
             int h, int id = 0) {
  HWND c = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  return c;
}

void Label(HWND parent, HFONT font, const std::wstring& text, int y) {
  Control(parent, font, L"STATIC", text, SS_LEFT, kLabelX, y + 4, kLabelWidth, 18);
}
void Label(HWND parent, HFONT font, const char* cp932, int y) { Label(parent, font, W(cp932), y); }

std::wstring Text(HWND edit) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  // Blanks typed or pasted around a path or command are no part of it.
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// The first choice of each is what the program has always done.
HWND TwoChoices(HWND parent, HFONT font, const char* first, const char* second, int y) {
  HWND box = Control(parent, font, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kControlX, y,
                     kControlWidth, 120);
  SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(first).c_str()));
  SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(second).c_str()));
  return box;
}

HWND Check(HWND parent, HFONT font, const std::wstring& text, int y) {
  return Control(parent, font, L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP, kControlX, y, kControlWidth, 22);
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetChecked(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
int Choice(HWND box) { return static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0)); }
void SetChoice(HWND box, int i) { SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0); }

}  // namespace

HWND TForm2::Shown() { return g_shown; }
TForm2* TForm2::ShownForm() { return g_shownForm; }

int TForm2::CreateLibraryControls(int y) {
  libraryColumns_ = Check(hwnd_, font_, U(kLibraryColumnsCheck), y);
  y += kRow;
  const int listWidth = kControlWidth - kBrowseWidth - 6, buttonX = kControlX + listWidth + 6;
  Label(hwnd_, font_, U(kLibraryFoldersLabel), y);
  libraryFolders_ = Control(hwnd_, font_, L"LISTBOX", L"", WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY,
                            kControlX, y, listWidth, 72);
  Control(hwnd_, font_, L"BUTTON", U(kAddCaption), BS_PUSHBUTTON | WS_TABSTOP, buttonX, y, kBrowseWidth, 23,
          kIdAddFolder);
  Control(hwnd_, font_, L"BUTTON", U(kRemoveCaption), BS_PUSHBUTTON | WS_TABSTOP, buttonX, y + 28, kBrowseWidth, 23,
          kIdRemoveFolder);
  y += 72 + 8;
  Label(hwnd_, font_, U(kTablesLabel), y);
  tableList_ = Control(hwnd_, font_, WC_LISTVIEWW, L"",
                       WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                       kControlX, y, listWidth, 96);
  ListView_SetExtendedListViewStyle(tableList_, LVS_EX_FULLROWSELECT);
  const struct {
    const char* caption;
    int width, format;
  } columns[] = {{kTableNameCaption, listWidth - 110, LVCFMT_LEFT},
                 {kTableSymbolCaption, 40, LVCFMT_LEFT},
                 {kTableEntriesCaption, 50, LVCFMT_RIGHT}};
  for (int i = 0; i < 3; ++i) {
    std::wstring caption = U(columns[i].caption);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = columns[i].format;
    c.cx = columns[i].width;
    c.pszText = caption.data();
    ListView_InsertColumn(tableList_, i, &c);
  }
  Control(hwnd_, font_, L"BUTTON", U(kRemoveCaption), BS_PUSHBUTTON | WS_TABSTOP, buttonX, y, kBrowseWidth, 23,
          kIdRemoveTable);
  return y + 96 + 8;
}

void TForm2::FillTables() {
  ListView_DeleteAllItems(tableList_);
  int row = 0;
  for (const library::StoredTable& table : tables_) {
    std::wstring texts[] = {U(table.name), U(table.symbol), std::to_wstring(table.entries)};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = texts[0].data();
    ListView_InsertItem(tableList_, &item);
    ListView_SetItemText(tableList_, row, 1, texts[1].data());
    ListView_SetItemText(tableList_, row, 2, texts[2].data());
    ++row;
  }
}

bool TForm2::AddLibraryFolder(const std::wstring& folder) {
  std::wstring clean = folder;
  while (clean.size() > 3 && (clean.back() == L'\\' || clean.back() == L'/')) clean.pop_back();
  if (clean.empty()) return false;
  const int count = static_cast<int>(SendMessageW(libraryFolders_, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring listed(static_cast<std::size_t>(SendMessageW(libraryFolders_, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1,
                        L'\0');
    listed.resize(static_cast<std::size_t>(
        SendMessageW(libraryFolders_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(listed.data()))));
    if (_wcsicmp(listed.c_str(), clean.c_str()) == 0) return false;
  }
  // The settings file holds CP932 text: a folder it cannot name would come
  // back as another.
  bool exact = true;
  platform::win32::WideToCp932(clean, &exact);
  if (!exact) {
    ShowErrorBox(hwnd_, platform::Utf8ToCp932(kUnusableFolderMessage) + platform::win32::WideToCp932(clean));
    return false;
  }
  const LRESULT at = SendMessageW(libraryFolders_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(clean.c_str()));
  SendMessageW(libraryFolders_, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  return true;
}

void TForm2::RemoveSelectedLibraryFolder() {
  const LRESULT at = SendMessageW(libraryFolders_, LB_GETCURSEL, 0, 0);
  if (at != LB_ERR) SendMessageW(libraryFolders_, LB_DELETESTRING, static_cast<WPARAM>(at), 0);
}

void TForm2::RemoveSelectedTable() {
  const int at = ListView_GetNextItem(tableList_, -1, LVNI_SELECTED);
  if (at < 0 || static_cast<std::size_t>(at) >= tables_.size()) return;
  removedTables_.push_back(tables_[static_cast<std::size_t>(at)].name);
  tables_.erase(tables_.begin() + at);
  FillTables();
}

void TForm2::CreateControls() {
  int y = 12;
  Label(hwnd_, font_, kChartFilesLabel, y);
  chartFiles_ = TwoChoices(hwnd_, font_, kChartFilesBmsOnly, kChartFilesAll, y);
  y += kRow + 4;
  Label(hwnd_, font_, kHashColumnsLabel, y);
  hashColumns_ = Check(hwnd_, font_, W(kHashColumnsCheck), y);
  y += kRow;
  chartFacts_ = Check(hwnd_, font_, W(kChartFactsCheck), y);
  y += kRow;
  // Both ways of unpacking sooner under one label.
  Label(hwnd_, font_, kChartsOnlyLabel, y);
  chartsOnly_ = Check(hwnd_, font_, W(kChartsOnlyCheck), y);
  y += kRow;
  unpackAhead_ = Check(hwnd_, font_, W(kUnpackAheadCheck), y);
  y += kRow + 4;
  Label(hwnd_, font_, kCsvFormatLabel, y);
  csvFormat_ = TwoChoices(hwnd_, font_, kCsvFormatClassic, kCsvFormatUtf8, y);
  y += kRow + 4;
  Label(hwnd_, font_, kDisplayEncodingLabel, y);
  displayEncoding_ = TwoChoices(hwnd_, font_, kDisplayDetected, kDisplayCp932, y);
  y += kRow + 4;
  numericSort_ = Check(hwnd_, font_, U(NumericSortCaption()), y);
  y += kRow;
  folderArchives_ = Check(hwnd_, font_, U(kFolderArchivesCheck), y);
  y += kRow + 4;
  Label(hwnd_, font_, U(kSongLibraryLabel), y);
  songLibrary_ = Control(hwnd_, font_, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kControlX, y,
                         kControlWidth - kBrowseWidth - 6, 23);
  Control(hwnd_, font_, L"BUTTON", U(kBrowseCaption), BS_PUSHBUTTON | WS_TABSTOP,
          kControlX + kControlWidth - kBrowseWidth, y, kBrowseWidth, 23, kIdBrowse);
  y += kRow + 4;
  Label(hwnd_, font_, U(kPreviewCommandLabel), y);
  previewCommand_ = Control(hwnd_, font_, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kControlX, y,
                            kControlWidth, 23);
  SendMessageW(previewCommand_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"bemuse %f"));
  y += kRow + 4;
  y = CreateLibraryControls(y);
  y += 4;
  Control(hwnd_, font_, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kClientWidth - 2 * (88 + 8), y, 88, 26, IDOK);
  Control(hwnd_, font_, L"BUTTON", W(kCancelCaption), BS_PUSHBUTTON | WS_TABSTOP, kClientWidth - (88 + 8), y, 88, 26,
          IDCANCEL);
  // The window's outer size for this client area.
  RECT rc{0, 0, kClientWidth, y + 26 + 12};
  AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  RECT owner;
  GetWindowRect(owner_, &owner);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  SetWindowPos(hwnd_, nullptr, owner.left + (owner.right - owner.left - w) / 2,
               owner.top + (owner.bottom - owner.top - h) / 2, w, h, SWP_NOZORDER);
}

void TForm2::SetOptions(const SessionOptions& o) {
  SetChoice(chartFiles_, o.allChartExtensions ? 1 : 0);
  SetChecked(hashColumns_, o.hashColumns);
  SetChecked(chartFacts_, o.chartFacts);
  SetChecked(chartsOnly_, o.chartsOnly);
  SetChecked(unpackAhead_, !o.oneArchiveAtATime);
  SetChoice(csvFormat_, o.csvFormat == CsvFormat::kUtf8 ? 1 : 0);
  SetChoice(displayEncoding_, o.displayEncoding == DisplayEncoding::kCp932 ? 1 : 0);
  SetChecked(numericSort_, o.numericSort);
  SetWindowTextW(songLibrary_, U(o.songLibrary).c_str());
  SetWindowTextW(previewCommand_, U(o.previewCommand).c_str());

  SetChecked(libraryColumns_, o.libraryColumns);
  SendMessageW(libraryFolders_, LB_RESETCONTENT, 0, 0);
  for (const std::string& folder : o.libraryFolders)
    SendMessageW(libraryFolders_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(U(folder).c_str()));
  removedTables_.clear();
  FillTables();
  SetChecked(folderArchives_, o.folderArchives);
}

SessionOptions TForm2::Options() const {
  SessionOptions o;
  o.allChartExtensions = Choice(chartFiles_) == 1;
  o.hashColumns = Checked(hashColumns_);
  o.chartFacts = Checked(chartFacts_);
  o.chartsOnly = Checked(chartsOnly_);
  o.oneArchiveAtATime = !Checked(unpackAhead_);
  o.csvFormat = Choice(csvFormat_) == 1 ? CsvFormat::kUtf8 : CsvFormat::kClassic;
  o.displayEncoding = Choice(displayEncoding_) == 1 ? DisplayEncoding::kCp932 : DisplayEncoding::kDetected;
  o.numericSort = Checked(numericSort_);
  o.songLibrary = platform::win32::WideToUtf8(Text(songLibrary_));
  o.previewCommand = platform::win32::WideToUtf8(Text(previewCommand_));

  o.libraryColumns = Checked(libraryColumns_);
  const int count = static_cast<int>(SendMessageW(libraryFolders_, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring folder(static_cast<std::size_t>(SendMessageW(libraryFolders_, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1,
                        L'\0');
    folder.resize(static_cast<std::size_t>(
        SendMessageW(libraryFolders_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(folder.data()))));
    o.libraryFolders.push_back(platform::win32::WideToUtf8(folder));
  }
  o.folderArchives = Checked(folderArchives_);
  return o;
}

void TForm2::BrowseLibrary() {
  const std::wstring dir = AskFolder(hwnd_, U(kChooseLibraryCaption), Text(songLibrary_));
  if (!dir.empty()) SetWindowTextW(songLibrary_, dir.c_str());
}

LRESULT CALLBACK TForm2::Procedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<TForm2*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (form && msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    form->result_ = LOWORD(wParam);
    return 0;
  }
  if (form && msg == WM_COMMAND && LOWORD(wParam) == kIdBrowse) {
    form->BrowseLibrary();
    return 0;
  }
  if (form && msg == WM_COMMAND && LOWORD(wParam) == kIdAddFolder) {
    const std::wstring dir = AskFolder(h, U(kChooseLibraryFolderCaption), {});
    if (!dir.empty()) form->AddLibraryFolder(dir);
    return 0;
  }
  if (form && msg == WM_COMMAND && LOWORD(wParam) == kIdRemoveFolder) {
    form->RemoveSelectedLibraryFolder();
    return 0;
  }
  if (form && msg == WM_COMMAND && LOWORD(wParam) == kIdRemoveTable) {
    form->RemoveSelectedTable();
    return 0;
  }
  if (form && msg == WM_CLOSE) {
    form->result_ = IDCANCEL;
    return 0;
  }
  return DefWindowProcW(h, msg, wParam, lParam);
}

bool TForm2::Execute(SessionOptions& options) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  RegisterWindowClass(kClassName, Procedure);
  hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, W(kOptionsCaption).c_str(),
                          WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100, owner_, nullptr, inst, nullptr);
  if (!hwnd_) return false;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  CreateControls();
  SetOptions(options);
  result_ = 0;
  g_shown = hwnd_;
  g_shownForm = this;
  EnableWindow(owner_, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(chartFiles_);
  // Modal: the main window takes no input until the choice is made; Tab,
  // Enter and Esc work as in any dialog.
  MSG m;
  bool quit = false;
  while (result_ == 0) {
    if (GetMessageW(&m, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    if (IsDialogMessageW(hwnd_, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  if (result_ == IDOK) options = Options();
  g_shown = nullptr;
  g_shownForm = nullptr;
  EnableWindow(owner_, TRUE);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  SetActiveWindow(owner_);
  if (quit) PostQuitMessage(static_cast<int>(m.wParam));
  return result_ == IDOK;
}
