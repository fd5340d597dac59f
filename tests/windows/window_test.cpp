// SPDX-License-Identifier: MIT
// The Windows window in-process, on a display (Wine on Xvfb): archives
// given as on the command line are listed and counted in the status bar,
// the settings file's options shape the list, Ctrl+C copies CSV lines, an
// export never lands in a working folder, names code page 932 cannot hold
// are reported without a box, a drop on two cores lists what a serial
// one does, and the 編集 menu acts on the list and the archives behind it.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "archiver_api.h"
#include "charts/chart_hash.h"
#include "charts/csv_export.h"
#include "charts/working_folder.h"
#include "gui_win32/clipboard.h"
#include "gui_win32/error_box.h"
#include "gui_win32/file_dialogs.h"
#include "gui_win32/form1.h"
#include "gui_win32/options_dialog.h"
#include "gui_win32/problem_list.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/whole_file_write.h"
#include "session/captions.h"
#include "session/column_table.h"
#include "session/status_text.h"
#include "tests/windows/win_temp_dir.h"

namespace {

std::wstring U(const std::string& utf8) { return platform::win32::Utf8ToWide(utf8); }

void WriteWide(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

// A ZIP of `charts` (name, bytes) made by ZIP32J.DLL; the archive's path (CP932).
std::string MakeZip(const WinTempDir& dir, const std::string& name,
                    const std::vector<std::pair<std::string, std::string>>& charts) {
  const std::string source = dir.Path() + name + "-src\\";
  CreateDirectoryW(platform::win32::Cp932ToWide(source).c_str(), nullptr);
  for (const auto& [file, bytes] : charts) WriteWide(platform::win32::Cp932ToWide(source + file), bytes);
  platform::ModuleHandle zip = platform::LoadLibrary("ZIP32J.DLL");
  auto create = reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(zip, "Zip"));
  const std::string archive = dir.Path() + name;
  char output[4096] = {};
  const std::string line = " -D -r -9  \"" + archive + "\" \"" + source + "\" \"*.*\" ";
  EXPECT_EQ(create(0, line.c_str(), output, sizeof output), 0) << output;
  return archive;
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    SetErrorBoxHandlerForTesting([this](const std::string& m) { errors_.push_back(m); });
    ini_ = platform::ExecutableDir() + "test_window.ini";
    platform::DeleteFile(ini_);
    songs_ = MakeZip(dir_, "song.zip",
                     {{"a_n.bms", "#TITLE \x96\xe9\x96\xbe\x82\xaf\r\n#PLAYLEVEL 3\r\n#BPM 150\r\n"},  // 夜明け, CP932
                      {"a_h.bms", "#TITLE \xed\x95\x9c\xea\xb8\x80 HARD\r\n#PLAYLEVEL 10\r\n"}});     // 한글, UTF-8
    other_ = MakeZip(dir_, "other.zip", {{"b.bms", "#TITLE other\r\n#PLAYLEVEL 5\r\n"}});
  }
  void TearDown() override {
    Close();
    SetErrorBoxHandlerForTesting(nullptr);
    platform::DeleteFile(ini_);
  }

  TForm1& Open() {
    form_ = std::make_unique<TForm1>();
    EXPECT_TRUE(form_->Create());
    form_->Show();
    return *form_;
  }

  // The window's end posts the quit of the main loop; the next window's
  // messages must still run.
  void Close() {
    form_.reset();
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // Runs the window's messages until the drops given are handled.
  void Settle(TForm1& form) {
    for (int i = 0; i < 600; ++i) {
      form.PumpMessages(20);
      MSG m;
      if (!form.Handle()) break;  // closed
      if (!form.DropSession().Busy() && !PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) break;
      Sleep(10);
    }
  }

  WorkingFolderClaim claim_;
  WinTempDir dir_;
  std::string ini_, songs_, other_;
  std::vector<std::string> errors_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(Window, ListsArchivesFromTheCommandLineAndCountsThemInTheStatusBar) {
  TForm1& form = Open();
  form.OpenFiles({platform::win32::Cp932ToWide(songs_), platform::win32::Cp932ToWide(other_)});
  Settle(form);
  ASSERT_EQ(form.List().Count(), 3u);
  EXPECT_EQ(form.Status().Text(StatusBar::kRowsPart), U(RowsStatusText(3, 0)));
  // Each title decoded from its chart's own encoding, as the Qt model does.
  std::vector<std::wstring> titles;
  for (std::size_t i = 0; i < 3; ++i) titles.push_back(form.ListView().CellText(i, siTitle + 1));
  EXPECT_NE(std::find(titles.begin(), titles.end(), L"\u591c\u660e\u3051"), titles.end());
  EXPECT_NE(std::find(titles.begin(), titles.end(), L"\ud55c\uae00 HARD"), titles.end());
  // A check counts at once the messages run.
  ListView_SetCheckState(form.ListView().Handle(), 0, TRUE);
  Settle(form);
  EXPECT_EQ(form.Status().Text(StatusBar::kRowsPart), U(RowsStatusText(3, 1)));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Window, HashColumnsInTheSettingsFileGiveFifteenColumns) {
  platform::WriteWholeFile(ini_, "[Options]\r\nHashColumns=1\r\nWidth14=321\r\n");
  TForm1& form = Open();
  EXPECT_EQ(form.ListView().ColumnCount(), 15);
  EXPECT_EQ(form.ListView().ColumnWidth(14), 321);
  SessionOptions options = form.Options();
  options.hashColumns = false;
  form.ApplyOptions(options);
  EXPECT_EQ(form.ListView().ColumnCount(), 13);
}

TEST_F(Window, FactsColumnsFollowTheThirteenWithOrWithoutTheHashes) {
  platform::WriteWholeFile(ini_, "[Options]\r\nChartFacts=1\r\nWidth15=77\r\n");
  TForm1& form = Open();
  // Without the hash columns the facts move up to follow the thirteen.
  ASSERT_EQ(form.ListView().ColumnCount(), kChartColumnCount + kFactColumnCount);
  EXPECT_EQ(form.ListView().ColumnAtPlace(kChartColumnCount), kColumnCountWithHashes);
  EXPECT_EQ(form.ListView().ColumnWidth(kChartColumnCount), 77);
  SessionOptions options = form.Options();
  options.hashColumns = true;
  form.ApplyOptions(options);
  ASSERT_EQ(form.ListView().ColumnCount(), kColumnCountWithFacts);
  EXPECT_EQ(form.ListView().ColumnAtPlace(kChartColumnCount), kMd5Column);
  EXPECT_EQ(form.ListView().ColumnAtPlace(kColumnCountWithHashes), kColumnCountWithHashes);
  // A click on a place sorts by the column shown there.
  form.OpenFiles({platform::win32::Cp932ToWide(other_)});
  Settle(form);
  form.LVColumnClick(kColumnCountWithHashes);
  EXPECT_EQ(form.ListView().SortArrow(kColumnCountWithHashes), HDF_SORTUP);
}

// What the user does in the options window once it shows: ticks the hash
// columns' box, types the song folder and the preview program (blanks
// around them), then presses OK or キャンセル.
UINT g_optionsButton = IDOK;
void CALLBACK UseOptionsWindow(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = TForm2::Shown();
  if (!dialog) return;
  KillTimer(nullptr, timer);
  const std::wstring caption = platform::win32::Cp932ToWide(kHashColumnsCheck);
  const std::wstring folderArchives = U(kFolderArchivesCheck);
  const wchar_t* typed[] = {L"  C:\\\u66f2 ", L" player.exe \"%f\" "};
  int edits = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t text[256] = {};
    GetWindowTextW(c, text, 256);
    if (caption == text || folderArchives == text) SendMessageW(c, BM_CLICK, 0, 0);
    GetClassNameW(c, text, 256);
    if (_wcsicmp(text, L"Edit") == 0 && edits < 2) SetWindowTextW(c, typed[edits++]);
  }
  SendMessageW(dialog, WM_COMMAND, g_optionsButton, 0);
}

TEST_F(Window, TheOptionsWindowAppliesAndStoresOnlyWhatIsConfirmed) {
  TForm1& form = Open();
  for (UINT button : {IDCANCEL, IDOK}) {
    g_optionsButton = button;
    SetTimer(nullptr, 0, 50, UseOptionsWindow);
    form.AOptionsClick();
    const bool applied = button == IDOK;
    EXPECT_EQ(form.Options().hashColumns, applied);
    EXPECT_EQ(form.ListView().ColumnCount(), applied ? 15 : 13);
    EXPECT_EQ(ReadAll(ini_).find("HashColumns=1") != std::string::npos, applied);
    // On by default, turned off in the window.
    EXPECT_EQ(form.Options().folderArchives, !applied);
    EXPECT_EQ(ReadAll(ini_).find("FolderArchives=0") != std::string::npos, applied);
    EXPECT_EQ(form.Options().songLibrary, applied ? "C:\\\xe6\x9b\xb2" : "");  // 曲, UTF-8
    EXPECT_EQ(form.Options().previewCommand, applied ? "player.exe \"%f\"" : "");
    EXPECT_EQ(ReadAll(ini_).find("SongLibrary=C:\\\x8b\xc8") != std::string::npos, applied);  // CP932
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
  }
}

TEST_F(Window, AFolderListsItsChartsInPlaceThenTheArchivesInIt) {
  auto W = [](const std::string& cp932) { return platform::win32::Cp932ToWide(cp932); };
  const std::string folder = dir_.Path() + "songs\\";
  for (const char* sub : {"", "one\\", "hidden\\"}) CreateDirectoryW(W(folder + sub).c_str(), nullptr);
  SetFileAttributesW(W(folder + "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  WriteWide(W(folder + "one\\x.bms"), "#TITLE in place\r\n");
  WriteWide(W(folder + "hidden\\h.bms"), "#TITLE hidden\r\n");
  ASSERT_TRUE(CopyFileW(W(other_).c_str(), W(folder + "one\\other.zip").c_str(), TRUE));
  TForm1& form = Open();
  form.OpenFiles({W(dir_.Path() + "songs")});
  Settle(form);
  ASSERT_EQ(form.List().Count(), 2u);
  EXPECT_EQ(form.List().Row(0).subItems[siTitle], "in place");
  EXPECT_EQ(form.List().Row(0).subItems[siArcName], "one");
  EXPECT_EQ(form.List().Row(0).subItems[siArcPath], folder + "one\\");
  EXPECT_EQ(form.List().Row(1).subItems[siTitle], "other");
  EXPECT_EQ(form.List().Row(1).subItems[siArcName], "other.zip");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Window, CtrlCCopiesTheSelectedRowAsCsvLines) {
  TForm1& form = Open();
  form.OpenFiles({platform::win32::Cp932ToWide(other_)});
  Settle(form);
  ASSERT_EQ(form.List().Count(), 1u);
  HWND list = form.ListView().Handle();
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SetClipboardText(form.Handle(), L"before");
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(list, WM_KEYDOWN, 'C', 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(ClipboardText(form.Handle()), platform::win32::Cp932ToWide(ChartCsvLines(form.List(), {0})));
  EXPECT_NE(ClipboardText(form.Handle()).find(L"other"), std::wstring::npos);
}

TEST_F(Window, ExportsUnderTheNameChosenButNeverIntoAWorkingFolder) {
  TForm1& form = Open();
  form.OpenFiles({platform::win32::Cp932ToWide(other_)});
  Settle(form);
  const std::wstring work = platform::win32::Cp932ToWide(platform::WorkParentDir()) + L"work\\list.csv";
  form.ExportCsv(work);
  EXPECT_EQ(GetFileAttributesW(work.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), L"");

  // A name code page 932 cannot hold is written as chosen.
  const std::wstring target = dir_.Wide() + L"\\\ud55c\uae00.csv";
  form.ExportCsv(target);
  EXPECT_NE(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), U(ExportedStatusText(1)));
  EXPECT_EQ(errors_.size(), 1u);
}

TEST_F(Window, ListsANameCodePage932CannotHoldAsItIs) {
  const std::wstring odd = dir_.Wide() + L"\\\ud55c\uae00.zip";
  CopyFileW(platform::win32::Cp932ToWide(other_).c_str(), odd.c_str(), FALSE);
  TForm1& form = Open();
  form.OpenFiles({odd, platform::win32::Cp932ToWide(songs_)});
  Settle(form);
  EXPECT_EQ(form.List().Count(), 3u);  // its chart, then the other archive's two
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(form.Status().Text(StatusBar::kProblemsPart), L"");
  // Shown as it is, not with "?", and it leads back to its file.
  EXPECT_EQ(form.ListView().CellText(0, siArcName + 1), L"\ud55c\uae00.zip");
  EXPECT_EQ(platform::win32::Utf8ToWide(platform::FsName(RowArchivePath(form.List().Row(0)))), odd);
}

TEST_F(Window, EscCancelsTheDropAndTheStatusBarSaysSo) {
  TForm1& form = Open();
  EXPECT_EQ(GetWindowTextLengthW(form.Strip().CancelButton()), 5);  // キャンセル
  std::vector<std::wstring> files(4, platform::win32::Cp932ToWide(songs_));
  form.OpenFiles(files);
  // Pressed once the drop has begun (the drop's message is ahead of it).
  PostMessageW(form.ListView().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Settle(form);
  EXPECT_EQ(form.List().Count(), 0u);
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), U(DropOutcomeText({4, 0, true, false})));
  // The next drop starts afresh.
  form.OpenFiles({platform::win32::Cp932ToWide(other_)});
  Settle(form);
  EXPECT_EQ(form.List().Count(), 1u);
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), L"");
}

TEST_F(Window, HeaderShowsTheSortDirectionAndDoubleClickNamesAMissingFolder) {
  TForm1& form = Open();
  form.OpenFiles({platform::win32::Cp932ToWide(songs_)});
  Settle(form);
  const int title = siTitle + 1;  // column n shows sub-item n-1
  form.LVColumnClick(title);
  const int first = form.ListView().SortArrow(title);
  form.LVColumnClick(title);
  const int second = form.ListView().SortArrow(title);
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(form.ListView().SortArrow(siArtist + 1), 0);

  // The songs' folder gone since the drop: said so, not silently nothing.
  ChartRow row = form.List().Row(0);
  row.subItems[siArcPath] = dir_.Path() + "gone\\";
  form.List().SetRow(0, row);
  form.OpenArchiveFolder(0);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("gone"), std::string::npos);
}

TEST_F(Window, CloseDuringADropWaitsForTheArchiveThenClosesAndWritesTheLayout) {
  TForm1& form = Open();
  form.OpenFiles(std::vector<std::wstring>(4, platform::win32::Cp932ToWide(songs_)));
  PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  Settle(form);
  EXPECT_EQ(form.Handle(), nullptr);  // closed once the archive under way was done
  // Whole archives only, not all of them, and nothing left behind.
  EXPECT_LT(form.List().Count(), 8u);
  EXPECT_EQ(form.List().Count() % 2, 0u);
  WIN32_FIND_DATAW found;
  const std::wstring work = platform::win32::Cp932ToWide(platform::WorkParentDir()) + L"work\\*";
  HANDLE h = FindFirstFileW(work.c_str(), &found);
  int names = 0;
  if (h != INVALID_HANDLE_VALUE) {
    do names += std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..";
    while (FindNextFileW(h, &found));
    FindClose(h);
  }
  EXPECT_EQ(names, 0);
  EXPECT_NE(ReadAll(ini_).find("Width12="), std::string::npos);
}

TEST_F(Window, QuitClosesAndAutoFitWidensCutColumns) {
  TForm1& form = Open();
  form.OpenFiles({platform::win32::Cp932ToWide(songs_)});
  Settle(form);
  const int title = siTitle + 1;
  ASSERT_EQ(form.ListView().ColumnWidth(title), 50);  // the designed width cuts the titles
  form.ListView().AutoFitColumns();
  EXPECT_GT(form.ListView().ColumnWidth(title), 50);
  SendMessageW(form.Handle(), WM_COMMAND, TForm1::kIdQuit, 0);
  Settle(form);
  EXPECT_EQ(form.Handle(), nullptr);
}

TEST_F(Window, TwoCoresListWhatOneCoreLists) {
  std::vector<std::wstring> files;
  for (int i = 0; i < 4; ++i)
    files.push_back(platform::win32::Cp932ToWide(i % 2 ? other_ : songs_));
  std::string lines[2];
  for (bool both : {false, true}) {
    TForm1& form = Open();
    SessionOptions options = form.Options();
    options.oneArchiveAtATime = !both;
    form.ApplyOptions(options);
    form.DropSession().bothCores = both;  // whatever the machine's cores
    form.OpenFiles(files);
    Settle(form);
    ASSERT_EQ(form.List().Count(), 6u);
    std::vector<std::size_t> all = {0, 1, 2, 3, 4, 5};
    lines[both] = ChartCsvLines(form.List(), all);
    Close();
  }
  EXPECT_EQ(lines[0], lines[1]);
}

std::wstring MenuText(HMENU menu, UINT id) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND);
  return text;
}

bool Greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

// Whether a file of that name lies anywhere under the folder.
bool FoundUnder(const std::wstring& dir, const std::wstring& name) {
  WIN32_FIND_DATAW d;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    const std::wstring n = d.cFileName;
    if (n == L"." || n == L"..") continue;
    found = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FoundUnder(dir + L"\\" + n, name) : n == name;
  } while (!found && FindNextFileW(h, &d));
  FindClose(h);
  return found;
}

// A key of the window's accelerator table, with Ctrl (and Shift) held,
// pressed on `target` (the list unless said); whether the table took it.
bool PressShortcut(TForm1& form, WPARAM key, bool shift, HWND target = nullptr) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG m{};
  m.hwnd = target ? target : form.ListView().Handle();
  m.message = WM_KEYDOWN;
  m.wParam = key;
  const bool taken = form.TranslateShortcut(m);
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  return taken;
}

std::vector<bool> ViewChecks(TForm1& form) {
  std::vector<bool> checks;
  for (int i = 0; i < ListView_GetItemCount(form.ListView().Handle()); ++i)
    checks.push_back(ListView_GetCheckState(form.ListView().Handle(), i) != 0);
  return checks;
}

std::vector<bool> ListChecks(TForm1& form) {
  std::vector<bool> checks;
  for (const ChartRow& row : form.List().Rows()) checks.push_back(row.checked);
  return checks;
}

TEST_F(Window, TheEditMenuFollowsTheFileMenuAndGreysWhatCannotRunNow) {
  TForm1& form = Open();
  HMENU bar = GetMenu(form.Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  wchar_t caption[64] = {};
  GetMenuStringW(bar, 1, caption, 64, MF_BYPOSITION);
  EXPECT_EQ(caption, U(kEditMenuCaption));
  HMENU edit = GetSubMenu(bar, 1);
  ASSERT_EQ(edit, form.Edit().Popup());
  const struct {
    UINT id;
    const char* caption;
    const wchar_t* key;
  } entries[] = {
      {EditMenu::kIdCheckAll, kCheckAllCaption, L"\tCtrl+Shift+A"},
      {EditMenu::kIdUncheckAll, kUncheckAllCaption, L"\tCtrl+Shift+N"},
      {EditMenu::kIdInvertChecks, kInvertChecksCaption, L"\tCtrl+Shift+I"},
      {EditMenu::kIdRemoveRows, kRemoveCheckedRowsCaption, L"\tDel"},
      {EditMenu::kIdClearList, kClearListCaption, L""},
      {EditMenu::kIdInstall, kInstallCaption, L""},
      {EditMenu::kIdRename, kRenameCaption, L""},
      {EditMenu::kIdUndo, kUndoCaption, L"\tCtrl+Z"},
      {EditMenu::kIdTrash, kTrashCaption, L""},
      {EditMenu::kIdPreview, kPreviewCaption, L""},
  };
  for (const auto& e : entries) EXPECT_EQ(MenuText(edit, e.id), U(e.caption) + e.key) << e.caption;

  // Opened while idle: only 元に戻す is greyed (nothing renamed yet), and
  // CSV追加読込 is there to use.
  SendMessageW(form.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
  EXPECT_TRUE(Greyed(edit, EditMenu::kIdUndo));
  EXPECT_FALSE(Greyed(edit, EditMenu::kIdInstall));
  EXPECT_FALSE(Greyed(GetSubMenu(bar, 0), TForm1::kIdReadCsv));
  // Opened while a drop runs (handled at its first keep-alive): what
  // touches files is greyed, the checks stay usable.
  form.OpenFiles({platform::win32::Cp932ToWide(songs_)});
  PostMessageW(form.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
  Settle(form);
  ASSERT_EQ(form.List().Count(), 2u);
  for (UINT id : {EditMenu::kIdInstall, EditMenu::kIdRename, EditMenu::kIdTrash, EditMenu::kIdPreview,
                  EditMenu::kIdRemoveRows, EditMenu::kIdClearList, EditMenu::kIdUndo})
    EXPECT_TRUE(Greyed(edit, id)) << id;
  EXPECT_FALSE(Greyed(edit, EditMenu::kIdCheckAll));
  EXPECT_TRUE(Greyed(GetSubMenu(bar, 0), TForm1::kIdReadCsv));
}

TEST_F(Window, KeysCheckRowsAndDeleteTakesTheCheckedRowsOutOfTheView) {
  TForm1& form = Open();
  form.OpenFiles({platform::win32::Cp932ToWide(songs_), platform::win32::Cp932ToWide(other_)});
  Settle(form);
  ASSERT_EQ(form.List().Count(), 3u);
  EXPECT_TRUE(PressShortcut(form, 'A', true));
  Settle(form);
  EXPECT_EQ(ListChecks(form), std::vector<bool>(3, true));
  EXPECT_EQ(ViewChecks(form), std::vector<bool>(3, true));
  EXPECT_EQ(form.Status().Text(StatusBar::kRowsPart), U(RowsStatusText(3, 3)));
  EXPECT_TRUE(PressShortcut(form, 'I', true));
  EXPECT_EQ(ListChecks(form), std::vector<bool>(3, false));
  // The in-place editor keeps its keys: Ctrl+Shift+A there is its own.
  HWND editor = ListView_EditLabel(form.ListView().Handle(), 0);
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(PressShortcut(form, 'A', true, editor));
  EXPECT_EQ(ListChecks(form), std::vector<bool>(3, false));
  ListView_CancelEditLabel(form.ListView().Handle());
  // Space turns over the selected row's box, once.
  HWND list = form.ListView().Handle();
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(list, WM_CHAR, L' ', 0);
  EXPECT_EQ(ListChecks(form), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(ViewChecks(form), ListChecks(form));

  // Delete on the list: the checked row leaves the list and the view, and
  // every row left shows its own texts and check.
  const std::wstring kept0 = form.ListView().CellText(0, siTitle + 1), kept2 = form.ListView().CellText(2, siTitle + 1);
  ListView_SetCheckState(list, 0, TRUE);
  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  Settle(form);
  ASSERT_EQ(form.List().Count(), 1u);
  EXPECT_EQ(ListView_GetItemCount(list), 1);
  wchar_t shown[256] = {};
  ListView_GetItemText(list, 0, siTitle + 1, shown, 256);
  EXPECT_EQ(shown, kept2);
  EXPECT_NE(shown, kept0);
  EXPECT_EQ(ViewChecks(form), std::vector<bool>{false});
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), U(RemovedRowsStatusText(2)));
  EXPECT_EQ(form.Status().Text(StatusBar::kRowsPart), U(RowsStatusText(1, 0)));
  SendMessageW(form.Handle(), WM_COMMAND, EditMenu::kIdClearList, 0);
  EXPECT_EQ(ListView_GetItemCount(list), 0);
}

TEST_F(Window, InstallsTheCheckedArchivesIntoTheSongFolderOnceOnly) {
  const std::wstring library = dir_.Wide() + L"\\\u66f2 songs";  // 曲
  CreateDirectoryW(library.c_str(), nullptr);
  TForm1& form = Open();
  SessionOptions options = form.Options();
  options.songLibrary = platform::win32::WideToUtf8(library);
  form.ApplyOptions(options);  // set: no folder asked for
  form.OpenFiles({platform::win32::Cp932ToWide(songs_), platform::win32::Cp932ToWide(other_)});
  Settle(form);
  ASSERT_EQ(form.List().Count(), 3u);
  form.Actions().CheckAll();
  SendMessageW(form.Handle(), WM_COMMAND, EditMenu::kIdInstall, 0);
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), U(InstalledStatusText(2, 3, 0, 0)));
  for (const wchar_t* chart : {L"a_n.bms", L"a_h.bms", L"b.bms"}) EXPECT_TRUE(FoundUnder(library, chart)) << chart;
  EXPECT_FALSE(form.Strip().Visible());
  // A second time finds every file there with the same bytes.
  SendMessageW(form.Handle(), WM_COMMAND, EditMenu::kIdInstall, 0);
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), U(InstalledStatusText(2, 0, 3, 0)));
  EXPECT_TRUE(errors_.empty());
  for (const ArchiveProblem& p : form.DropSession().Problems()) ADD_FAILURE() << ProblemReasonsText(p);
}

// What the user does in the options window's collection group: adds a
// folder (as the picker would give it) twice, removes the table, then
// presses OK or キャンセル.
UINT g_libraryButton = IDOK;
std::wstring g_addedFolder;
int g_tablesShown = -1;
void CALLBACK UseLibraryGroup(HWND, UINT, UINT_PTR timer, DWORD) {
  TForm2* form = TForm2::ShownForm();
  if (!form) return;
  KillTimer(nullptr, timer);
  g_tablesShown = ListView_GetItemCount(form->Tables());
  EXPECT_TRUE(form->AddLibraryFolder(g_addedFolder));
  EXPECT_FALSE(form->AddLibraryFolder(g_addedFolder + L"\\"));  // listed already
  ListView_SetItemState(form->Tables(), 0, LVIS_SELECTED, LVIS_SELECTED);
  form->RemoveSelectedTable();
  EXPECT_EQ(ListView_GetItemCount(form->Tables()), 0);
  SendMessageW(TForm2::Shown(), WM_COMMAND, g_libraryButton, 0);
}

TEST_F(Window, TheCollectionsColumnsTintTheChartsListedBeforeAndTheOptionsKeepFoldersAndTables) {
  // A song folder holding one chart of the archive; a table listing it.
  const std::string chart = "#TITLE \x96\xe9\x96\xbe\x82\xaf\r\n#PLAYLEVEL 3\r\n#BPM 150\r\n";  // a_n.bms
  const std::wstring library = dir_.Wide() + L"\\lib", more = dir_.Wide() + L"\\more";
  CreateDirectoryW(library.c_str(), nullptr);
  CreateDirectoryW(more.c_str(), nullptr);
  WriteWide(library + L"\\a_n.bms", chart);
  ChartHasher hasher;
  hasher.Update(chart);
  std::string md5, sha256;
  hasher.Finish(md5, sha256);
  WriteWide(dir_.Wide() + L"\\head.json", "{\"name\": \"T\", \"symbol\": \"sl\", \"data_url\": \"body.json\"}");
  WriteWide(dir_.Wide() + L"\\body.json", "[{\"md5\": \"" + md5 + "\", \"level\": \"5\"}]");
  platform::WriteWholeFile(ini_, "[Options]\r\nLibraryColumns=1\r\nLibraryFolders=1\r\nLibraryFolder1=" +
                                     platform::win32::WideToCp932(library) + "\r\n");
  const std::wstring mirror = dir_.Wide() + L"\\mirror.zip";
  CopyFileW(platform::win32::Cp932ToWide(songs_).c_str(), mirror.c_str(), FALSE);

  TForm1& form = Open();
  form.Library().SetIndexPath(platform::win32::WideToUtf8(dir_.Wide() + L"\\library.sqlite"));
  ASSERT_EQ(form.ListView().ColumnCount(), kChartColumnCount + kLookupColumnCount);
  EXPECT_EQ(form.ListView().ColumnAtPlace(kChartColumnCount), kLookupColumn);
  form.ImportTable(dir_.Wide() + L"\\head.json");
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), U(TableImportedText("T", 1)));
  form.OpenFiles({platform::win32::Cp932ToWide(songs_), mirror});
  Settle(form);  // the drop, then the scan it leads to
  ASSERT_EQ(form.List().Count(), 4u);
  EXPECT_TRUE(form.Library().Scanned());
  std::vector<std::wstring> rows;
  for (std::size_t i = 0; i < 4; ++i) {
    rows.push_back(form.ListView().CellText(i, 0) + L"|" + form.ListView().CellText(i, kLookupColumn) + L"|" +
                   form.ListView().CellText(i, kLookupColumn + 1) + L"|" + form.ListView().CellText(i, kLookupColumn + 2));
  }
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"a_h.bms|||", L"a_h.bms|||song.zip", L"a_n.bms|a_n.bms|sl5|",
                                             L"a_n.bms|a_n.bms|sl5|song.zip"}));

  // The rows of the second archive are drawn tinted, the others as ever.
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr.hwndFrom = form.ListView().Handle();
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  LRESULT result = 0;
  ASSERT_TRUE(form.ListView().OnNotify(&draw.nmcd.hdr, result));
  EXPECT_EQ(result, CDRF_NOTIFYITEMDRAW);
  for (std::size_t i = 0; i < 4; ++i) {
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = i;
    draw.clrTextBk = CLR_DEFAULT;
    ASSERT_TRUE(form.ListView().OnNotify(&draw.nmcd.hdr, result));
    const bool second = form.List().Row(i).subItems[siArcName] == "mirror.zip";
    EXPECT_EQ(draw.clrTextBk, second ? RGB(255, 236, 200) : CLR_DEFAULT) << i;
  }

  // A click on Duplicate sorts by it: the first archive's rows (none earlier) first.
  form.LVColumnClick(kChartColumnCount + 2);
  EXPECT_EQ(form.ListView().SortArrow(kChartColumnCount + 2), HDF_SORTUP);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(form.List().Row(i).subItems[siArcName], i < 2 ? "song.zip" : "mirror.zip") << i;

  // The options window: nothing kept on キャンセル, folder and removal on OK.
  g_addedFolder = more;
  for (UINT button : {IDCANCEL, IDOK}) {
    g_libraryButton = button;
    g_tablesShown = -1;
    SetTimer(nullptr, 0, 50, UseLibraryGroup);
    form.AOptionsClick();
    EXPECT_EQ(g_tablesShown, 1);
    std::string error;
    EXPECT_EQ(form.Library().Tables(error).size(), button == IDOK ? 0u : 1u);
    EXPECT_EQ(form.Options().libraryFolders.size(), button == IDOK ? 2u : 1u);
    EXPECT_EQ(ReadAll(ini_).find("LibraryFolders=2") != std::string::npos, button == IDOK);
  }
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Window, ReadsAnExportedListBackAndRefusesAnythingElse) {
  TForm1& form = Open();
  form.OpenFiles({platform::win32::Cp932ToWide(songs_), platform::win32::Cp932ToWide(other_)});
  Settle(form);
  const std::wstring csv = dir_.Wide() + L"\\list.csv";
  form.ExportCsv(csv);
  const std::string before = ChartCsvLines(form.List(), {0, 1, 2});
  form.Actions().ClearList();
  form.ImportCsv(csv);
  ASSERT_EQ(form.List().Count(), 3u);
  EXPECT_EQ(ListView_GetItemCount(form.ListView().Handle()), 3);
  EXPECT_EQ(ChartCsvLines(form.List(), {0, 1, 2}), before);
  EXPECT_EQ(form.Status().Text(StatusBar::kNoticePart), U(ImportedStatusText(3)));
  form.ImportCsv(platform::win32::Cp932ToWide(songs_));  // a ZIP, not a list
  EXPECT_EQ(form.List().Count(), 3u);
  EXPECT_EQ(errors_.size(), 1u);
}

TEST(WindowParts, OpenDialogFilterNamesEveryArchiveType) {
  const std::wstring filter = OpenDialogFilter();
  for (const wchar_t* pattern : {L"*.lzh", L"*.zip", L"*.cab", L"*.arj", L"*.tar", L"*.tgz", L"*.bz2", L"*.rar"})
    EXPECT_NE(filter.find(pattern), std::wstring::npos) << pattern;
  EXPECT_EQ(filter.substr(filter.size() - 4), std::wstring(L"*.*\0", 4));
}

TEST(WindowParts, SplitsSelectionsAndArchivePaths) {
  struct Case {
    std::wstring buffer;
    std::vector<std::wstring> paths;
  } cases[] = {
      {std::wstring(L"C:\\songs\\a.zip\0", 15), {L"C:\\songs\\a.zip"}},
      {std::wstring(L"C:\\songs\0a.zip\0b.lzh\0", 22), {L"C:\\songs\\a.zip", L"C:\\songs\\b.lzh"}},
      {std::wstring(L"C:\\\0a.zip\0", 10), {L"C:\\a.zip"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitSelection(c.buffer.c_str()), c.paths);
  std::wstring name, folder;
  SplitArchivePath(L"C:\\songs\\a.zip", name, folder);
  EXPECT_EQ(name, L"a.zip");
  EXPECT_EQ(folder, L"C:\\songs");
  SplitArchivePath(L"C:\\a.zip", name, folder);
  EXPECT_EQ(folder, L"C:\\");
}

}  // namespace
