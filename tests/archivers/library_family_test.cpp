// SPDX-License-Identifier: MIT
// The family's entries beyond extraction, over all nine libraries: the
// library queries, GetFileCount against a reference tool, the getters of
// the entry FindFirst/FindNext found, the end of a search, and the common
// command forms (listing, testing, tar's clusters) against the drivers'.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "archiver_api.h"
#include "tests/support/arc_library.h"
#include "tests/support/files.h"
#include "tests/support/rar_writer.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::Shell;
using test_support::TempDir;

struct Member {
  const char* file;
  const char* command;      // the command entry that extracts (or creates, for ZIP32J)
  const char* prefix;       // listing, owner-window and getter entries
  const char* statePrefix;  // GetVersion...
  bool ownerEntries;
  const char* archive;      // made in the folder by `make`, from src/
  const char* make;         // shell line run in src/; empty: a RAR written here
  const char* count;        // shell line printing the reference tool's entry count
  const char* extract;      // the drivers' line; %A archive, %D destination
  std::vector<const char*> forms;  // other lines that must extract the same
  const char* list;         // a listing line, %A; empty when the library has no command entry that reads
  const char* test;         // a testing line, %A; empty when the family member has none
};

const std::vector<Member>& Members() {
  static const std::vector<Member> members = {
      {"UNLHA32.DLL", "Unlha", "Unlha", "Unlha", true, "a.lzh", "lha aq ../a.lzh song/a.bms song/sub/b.wav c.txt",
       "bsdtar -tf a.lzh | wc -l", "x -+ -x1 %A %D", {"e -x1 %A %D"}, "l %A", "t %A"},
      {"UNZIP32.DLL", "UnZip", "UnZip", "UnZip", true, "a.zip", "zip -qr ../a.zip song c.txt",
       "bsdtar -tf a.zip | wc -l", "-x %A %D", {"-x -o %A %D"}, "-l %A", "-t %A"},
      {"ZIP32J.DLL", "Zip", "UnZip", "Zip", false, "a.zip", "zip -qr ../a.zip song c.txt",
       "bsdtar -tf a.zip | wc -l", "", {}, "", ""},
      {"LMZIP32.DLL", "Unzip", "Unzip", "Unzip", true, "a.zip", "zip -qr ../a.zip song c.txt",
       "bsdtar -tf a.zip | wc -l", "-x %A %D", {}, "-v %A", "-t %A"},
      {"CAB32.DLL", "Cab", "Cab", "Cab", true, "a.cab", "gcab -cz ../a.cab song/a.bms song/sub/b.wav c.txt",
       "bsdtar -tf a.cab | wc -l", "-x %A %D", {}, "-l %A", "-t %A"},
      {"UNARJ32J.DLL", "Unarj", "Unarj", "Unarj", true, "a.arj", "arj a -y ../a.arj song/a.bms song/sub/b.wav c.txt",
       "7zz l -ba a.arj | wc -l", "x -+ -x1 %A %D", {}, "l %A", "t %A"},
      {"tar32.dll", "Tar", "Tar", "Tar", true, "a.tgz", "tar -czf ../a.tgz song c.txt", "tar -tzf a.tgz | wc -l",
       "x --use-directory=1 -f %A -o %D",
       {"-xvf %A %D", "xvf %A %D", "-zxvf %A -o %D", "-jxvf %A %D", "-x -f %A -o %D"}, "-tvf %A", ""},
      {"UNRAR32.DLL", "Unrar", "Unrar", "Unrar", true, "a.rar", "", "bsdtar -tf a.rar | wc -l", "-x %A %D",
       {"x %A %D"}, "l %A", "t %A"},
      {"7-ZIP32.DLL", "SevenZip", "SevenZip", "SevenZip", true, "a.7z", "7zz a -bso0 ../a.7z song c.txt",
       "7zz l -ba a.7z | wc -l", "x -o%D %A", {}, "l %A", "t %A"},
  };
  return members;
}

std::string Q(const std::string& s) { return "\"" + s + "\""; }

std::string Fill(std::string line, const std::string& archive, const std::string& dest = "") {
  line.replace(line.find("%A"), 2, Q(archive));
  if (auto p = line.find("%D"); p != std::string::npos) line.replace(p, 2, Q(dest));
  return line;
}

// The song every member packs: a chart that compresses, a sound that does
// not, in folders, and one file at the top.
std::string MakeArchive(const TempDir& dir, const Member& m) {
  std::string chart = test_support::TextBytes(6000, 1), sound = test_support::NoiseBytes(20000, 2);
  if (!*m.make) {
    test_support::RarEntry a, b, c;
    a.name = "song\\a.bms", a.data = chart;
    b.name = "song\\sub\\b.wav", b.data = sound;
    c.name = "c.txt", c.data = "top";
    return dir.Write(m.archive, test_support::WriteRar4({a, b, c}));
  }
  dir.Write("src/song/a.bms", chart);
  dir.Write("src/song/sub/b.wav", sound);
  dir.Write("src/c.txt", "top");
  if (Shell(dir.Path() + "src", m.make) != 0) return "";
  return dir.Path() + m.archive;
}

int ReferenceCount(const TempDir& dir, const Member& m) {
  if (Shell(dir.Path(), std::string(m.count) + " > count.txt") != 0) return -2;
  return std::atoi(test_support::ReadBytes(dir.Path() + "count.txt").c_str());
}

class Family : public ::testing::TestWithParam<Member> {
 protected:
  void SetUp() override {
    archive_ = MakeArchive(dir_, GetParam());
    ASSERT_FALSE(archive_.empty()) << "the reference tool could not make it";
    ASSERT_TRUE(lib_.Loaded());
  }
  template <class F>
  F Get(const std::string& suffix) const {
    auto f = lib_.Entry<F>(suffix);
    EXPECT_NE(f, nullptr) << GetParam().prefix << suffix;
    return f;
  }
  template <class F>
  F State(const std::string& suffix) const {
    return reinterpret_cast<F>(platform::GetProcAddress(module_, (GetParam().statePrefix + suffix).c_str()));
  }
  int Command(const std::string& line, std::string* output = nullptr, std::size_t size = 4096) const {
    auto fn = reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(module_, GetParam().command));
    if (!fn) return -1;
    std::string buf(size, '\x7F');
    int r = fn(0, line.c_str(), buf.data(), static_cast<uint32_t>(size));
    if (output) *output = buf;
    return r;
  }

  TempDir dir_;
  std::string archive_;
  ArcLibrary lib_{GetParam().file, GetParam().prefix};
  platform::ModuleHandle module_ = platform::LoadLibrary(GetParam().file);
};

TEST_P(Family, AnswersTheLibraryQueries) {
  const Member& m = GetParam();
  auto version = State<ARC_GETVERSION_FN>("GetVersion");
  auto subVersion = State<ARC_GETVERSION_FN>("GetSubVersion");
  auto query = State<ARC_QUERYFUNCTION_FN>("QueryFunctionList");
  auto running = State<int(ARC_API*)()>("GetRunning");
  auto setBack = State<int(ARC_API*)(int)>("SetBackGroundMode");
  auto getBack = State<int(ARC_API*)()>("GetBackGroundMode");
  auto config = State<int(ARC_API*)(ARC_HWND, char*, int)>("ConfigDialog");
  ASSERT_TRUE(version && subVersion && query && running && setBack && getBack && config);
  EXPECT_GE(version(), 100);
  EXPECT_GT(subVersion(), 0);
  EXPECT_EQ(running(), 0);
  EXPECT_EQ(setBack(1), 1);
  EXPECT_EQ(getBack(), 1);
  EXPECT_EQ(setBack(0), 1);
  EXPECT_EQ(getBack(), 0);
  char buffer[16] = "untouched";
  EXPECT_EQ(config(0, buffer, 1), 0);
  EXPECT_STREQ(buffer, "untouched");

  // QueryFunctionList answers TRUE exactly for the entries exported.
  struct Function {
    int number;
    const char* suffix;
    char where;  // c: the command entry, s: state prefix, p: listing prefix
  };
  const Function functions[] = {
      {ISARC, "", 'c'},
      {ISARC_GET_VERSION, "GetVersion", 's'},
      {ISARC_GET_CURSOR_INTERVAL, "GetCursorInterval", 's'},
      {ISARC_SET_CURSOR_INTERVAL, "SetCursorInterval", 's'},
      {ISARC_GET_BACK_GROUND_MODE, "GetBackGroundMode", 's'},
      {ISARC_SET_BACK_GROUND_MODE, "SetBackGroundMode", 's'},
      {ISARC_GET_CURSOR_MODE, "GetCursorMode", 's'},
      {ISARC_SET_CURSOR_MODE, "SetCursorMode", 's'},
      {ISARC_GET_RUNNING, "GetRunning", 's'},
      {ISARC_CHECK_ARCHIVE, "CheckArchive", 'p'},
      {ISARC_CONFIG_DIALOG, "ConfigDialog", 's'},
      {ISARC_GET_FILE_COUNT, "GetFileCount", 'p'},
      {ISARC_QUERY_FUNCTION_LIST, "QueryFunctionList", 's'},
      {ISARC_OPEN_ARCHIVE, "OpenArchive", 'p'},
      {ISARC_CLOSE_ARCHIVE, "CloseArchive", 'p'},
      {ISARC_FIND_FIRST, "FindFirst", 'p'},
      {ISARC_FIND_NEXT, "FindNext", 'p'},
      {ISARC_EXTRACT, "Extract", 'p'},
      {ISARC_ADD, "Add", 'p'},
      {ISARC_SETOWNERWINDOW, "SetOwnerWindow", 'p'},
      {ISARC_CLEAROWNERWINDOW, "ClearOwnerWindow", 'p'},
      {ISARC_SETOWNERWINDOWEX, "SetOwnerWindowEx", 'p'},
      {ISARC_KILLOWNERWINDOWEX, "KillOwnerWindowEx", 'p'},
      {ISARC_GET_ARC_FILE_NAME, "GetArcFileName", 'p'},
      {ISARC_GET_ARC_FILE_SIZE, "GetArcFileSize", 'p'},
      {ISARC_GET_ARC_ORIGINAL_SIZE, "GetArcOriginalSize", 'p'},
      {ISARC_GET_ARC_COMPRESSED_SIZE, "GetArcCompressedSize", 'p'},
      {ISARC_GET_ARC_RATIO, "GetArcRatio", 'p'},
      {ISARC_GET_ARC_DATE, "GetArcDate", 'p'},
      {ISARC_GET_ARC_TIME, "GetArcTime", 'p'},
      {ISARC_GET_ARC_OS_TYPE, "GetArcOSType", 'p'},
      {ISARC_GET_ARC_IS_SFX_FILE, "IsSFXFile", 'p'},
      {ISARC_GET_ARC_WRITE_TIME_EX, "GetArcWriteTimeEx", 'p'},
      {ISARC_GET_ARC_CREATE_TIME_EX, "GetArcCreateTimeEx", 'p'},
      {ISARC_GET_ARC_ACCESS_TIME_EX, "GetArcAccessTimeEx", 'p'},
      {ISARC_GET_FILE_NAME, "GetFileName", 'p'},
      {ISARC_GET_ORIGINAL_SIZE, "GetOriginalSize", 'p'},
      {ISARC_GET_COMPRESSED_SIZE, "GetCompressedSize", 'p'},
      {ISARC_GET_RATIO, "GetRatio", 'p'},
      {ISARC_GET_DATE, "GetDate", 'p'},
      {ISARC_GET_TIME, "GetTime", 'p'},
      {ISARC_GET_CRC, "GetCRC", 'p'},
      {ISARC_GET_ATTRIBUTE, "GetAttribute", 'p'},
      {ISARC_GET_OS_TYPE, "GetOSType", 'p'},
      {ISARC_GET_METHOD, "GetMethod", 'p'},
      {ISARC_GET_WRITE_TIME, "GetWriteTime", 'p'},
      {ISARC_GET_CREATE_TIME, "GetCreateTime", 'p'},
      {ISARC_GET_ACCESS_TIME, "GetAccessTime", 'p'},
      {ISARC_GET_WRITE_TIME_EX, "GetWriteTimeEx", 'p'},
      {ISARC_GET_CREATE_TIME_EX, "GetCreateTimeEx", 'p'},
      {ISARC_GET_ACCESS_TIME_EX, "GetAccessTimeEx", 'p'},
      {ISARC_GET_ARC_FILE_SIZE_EX, "GetArcFileSizeEx", 'p'},
      {ISARC_GET_ARC_ORIGINAL_SIZE_EX, "GetArcOriginalSizeEx", 'p'},
      {ISARC_GET_ARC_COMPRESSED_SIZE_EX, "GetArcCompressedSizeEx", 'p'},
      {ISARC_GET_ORIGINAL_SIZE_EX, "GetOriginalSizeEx", 'p'},
      {ISARC_GET_COMPRESSED_SIZE_EX, "GetCompressedSizeEx", 'p'},
  };
  for (const Function& f : functions) {
    std::string name = std::string(f.where == 'c' ? m.command : f.where == 's' ? m.statePrefix : m.prefix) + f.suffix;
    bool exported = platform::GetProcAddress(module_, name.c_str()) != nullptr;
    EXPECT_EQ(query(f.number) != 0, exported) << name;
    if (f.number == ISARC_SETOWNERWINDOW) {
      EXPECT_EQ(exported, m.ownerEntries) << name;
    }
    if (f.number == ISARC_GET_FILE_NAME || f.number == ISARC_GET_VERSION) {
      EXPECT_TRUE(exported) << name;
    }
  }
  EXPECT_EQ(query(-1), 0);
  EXPECT_EQ(query(999), 0);
}

TEST_P(Family, CountsAndListsAndAnswersForTheEntryFound) {
  const Member& m = GetParam();
  auto open = Get<ARC_OPEN_FN>("OpenArchive");
  auto first = Get<ARC_FINDFIRST_FN>("FindFirst");
  auto next = Get<ARC_FINDNEXT_FN>("FindNext");
  auto close = Get<ARC_CLOSE_FN>("CloseArchive");
  auto count = Get<ARC_GETFILECOUNT_FN>("GetFileCount");
  auto fileName = Get<ARC_GETTEXT_FN>("GetFileName");
  auto method = Get<ARC_GETTEXT_FN>("GetMethod");
  auto arcName = Get<ARC_GETTEXT_FN>("GetArcFileName");
  auto original = Get<ARC_GETDWORD_FN>("GetOriginalSize");
  auto compressed = Get<ARC_GETDWORD_FN>("GetCompressedSize");
  auto crc = Get<ARC_GETDWORD_FN>("GetCRC");
  auto osType = Get<ARC_GETDWORD_FN>("GetOSType");
  auto writeTime = Get<ARC_GETDWORD_FN>("GetWriteTime");
  auto ratio = Get<ARC_GETWORD_FN>("GetRatio");
  auto date = Get<ARC_GETWORD_FN>("GetDate");
  auto time = Get<ARC_GETWORD_FN>("GetTime");
  auto attribute = Get<ARC_GETINT_FN>("GetAttribute");
  auto writeTimeEx = Get<ARC_GETFILETIME_FN>("GetWriteTimeEx");
  auto originalEx = Get<ARC_GETSIZE64_FN>("GetOriginalSizeEx");
  auto arcSize = Get<ARC_GETDWORD_FN>("GetArcFileSize");
  auto arcOriginal = Get<ARC_GETDWORD_FN>("GetArcOriginalSize");
  auto arcCompressed = Get<ARC_GETDWORD_FN>("GetArcCompressedSize");
  auto arcOriginalEx = Get<ARC_GETSIZE64_FN>("GetArcOriginalSizeEx");
  auto sfx = Get<ARC_GETINT_FN>("IsSFXFile");
  ASSERT_FALSE(HasFailure());

  int reference = ReferenceCount(dir_, m);
  EXPECT_GE(reference, 3);
  EXPECT_EQ(count(archive_.c_str()), reference);
  EXPECT_EQ(count((dir_.Path() + "missing.zip").c_str()), -1);
  EXPECT_EQ(count(nullptr), -1);

  HARC h = open(0, archive_.c_str(), 0);
  ASSERT_NE(h, 0u);
  char text[1024];
  EXPECT_EQ(fileName(h, text, sizeof text), -1);  // no search yet
  EXPECT_EQ(original(h), 0xFFFFFFFFu);
  ASSERT_EQ(arcName(h, text, sizeof text), 0);
  EXPECT_EQ(text, archive_);
  EXPECT_EQ(arcName(h, text, 4), ERROR_LONG_FILE_NAME);
  EXPECT_EQ(arcSize(h), test_support::ReadBytes(archive_).size());
  EXPECT_EQ(sfx(h), SFX_NOT);

  INDIVIDUALINFO info;
  int found = 0;
  uint64_t totalOriginal = 0, totalCompressed = 0;
  for (int r = first(h, "", &info); r == 0; r = next(h, &info)) {
    SCOPED_TRACE(info.szFileName);
    ++found;
    totalOriginal += info.dwOriginalSize;
    totalCompressed += info.dwCompressedSize;
    ASSERT_EQ(fileName(h, text, sizeof text), 0);
    EXPECT_STREQ(text, info.szFileName);
    EXPECT_EQ(fileName(h, text, 2), ERROR_LONG_FILE_NAME);
    ASSERT_EQ(method(h, text, sizeof text), 0);
    EXPECT_STREQ(text, info.szMode);
    EXPECT_EQ(original(h), info.dwOriginalSize);
    EXPECT_EQ(compressed(h), info.dwCompressedSize);
    EXPECT_EQ(crc(h), info.dwCRC);
    EXPECT_EQ(osType(h), info.uOSType);
    EXPECT_EQ(ratio(h), info.wRatio);
    EXPECT_EQ(date(h), info.wDate);
    EXPECT_EQ(time(h), info.wTime);
    EXPECT_EQ((attribute(h) & FA_DIREC) != 0, info.szAttribute[0] == 'd');
    uint64_t size64 = 0;
    EXPECT_EQ(originalEx(h, &size64), 1);
    EXPECT_EQ(size64, info.dwOriginalSize);
    ARC_FILETIME ft{};
    EXPECT_EQ(writeTimeEx(h, &ft), 1);
    uint64_t ticks = (uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
    EXPECT_EQ(ticks / 10000000 - 11644473600u, writeTime(h));
  }
  EXPECT_EQ(found, reference);
  // Past the end: -1, and -1 again; the getters have no entry any more.
  EXPECT_EQ(next(h, &info), -1);
  EXPECT_EQ(next(h, &info), -1);
  EXPECT_EQ(fileName(h, text, sizeof text), -1);
  EXPECT_EQ(crc(h), 0xFFFFFFFFu);
  EXPECT_EQ(arcOriginal(h), totalOriginal);
  EXPECT_EQ(arcCompressed(h), totalCompressed);
  uint64_t total64 = 0;
  EXPECT_EQ(arcOriginalEx(h, &total64), 1);
  EXPECT_EQ(total64, totalOriginal);
  // The totals follow the search's patterns.
  ASSERT_EQ(first(h, "*.bms", &info), 0);
  EXPECT_EQ(arcOriginal(h), 6000u);
  EXPECT_EQ(close(h), 0);
  EXPECT_EQ(fileName(h, text, sizeof text), ERROR_HARC_ISNOT_OPENED);
  EXPECT_EQ(original(h), 0xFFFFFFFFu);
}

TEST_P(Family, CommonFormsExtractListAndTestAsTheDriversLinesDo) {
  const Member& m = GetParam();
  if (!*m.extract) GTEST_SKIP() << "no command entry that reads";
  ASSERT_EQ(Command(Fill(m.extract, archive_, dir_.Path() + "ref/")), 0);
  auto expected = FilesUnder(dir_.Path() + "ref");
  ASSERT_EQ(expected.size(), 3u);
  for (std::size_t i = 0; i < m.forms.size(); ++i) {
    std::string dest = dir_.Path() + "form" + std::to_string(i) + "/";
    EXPECT_EQ(Command(Fill(m.forms[i], archive_, dest)), 0) << m.forms[i];
    auto got = FilesUnder(dest);
    // "e" drops the folders.
    EXPECT_TRUE(got == expected || got == test_support::Flattened(expected)) << m.forms[i];
  }

  std::string table;
  ASSERT_EQ(Command(Fill(m.list, archive_), &table), 0);
  table.resize(table.find('\0'));
  for (const char* name : {"song/a.bms", "song/sub/b.wav", "c.txt"}) EXPECT_NE(table.find(name), std::string::npos) << table;
  // The chart's row carries its date as FindFirst gives it.
  HARC h = lib_.Entry<ARC_OPEN_FN>("OpenArchive")(0, archive_.c_str(), 0);
  INDIVIDUALINFO info{};
  ASSERT_EQ(lib_.Entry<ARC_FINDFIRST_FN>("FindFirst")(h, "a.bms", &info), 0);
  lib_.Entry<ARC_CLOSE_FN>("CloseArchive")(h);
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1980 + (info.wDate >> 9), (info.wDate >> 5) & 15, info.wDate & 31);
  std::size_t row = table.find("song/a.bms");
  ASSERT_NE(row, std::string::npos);
  std::size_t start = table.rfind('\n', row);
  EXPECT_NE(table.substr(start, table.find('\n', row) - start).find(date), std::string::npos) << table;
  std::string files = " " + std::to_string(ReferenceCount(dir_, m)) + " files";
  EXPECT_NE(table.find(files), std::string::npos) << table;
  // Cut to the caller's buffer, at a whole character, zero-terminated.
  std::string cut;
  ASSERT_EQ(Command(Fill(m.list, archive_), &cut, 40), 0);
  EXPECT_EQ(cut.find('\0'), 39u);
  EXPECT_EQ(cut.substr(0, 39), table.substr(0, 39));

  if (!*m.test) return;
  std::string message;
  auto before = test_support::TreeOf(dir_.Path());
  EXPECT_EQ(Command(Fill(m.test, archive_), &message), 0) << message;
  EXPECT_EQ(test_support::TreeOf(dir_.Path()), before);  // nothing written
  // The sound's bytes damaged in the middle of the archive; a cabinet keeps
  // no checksum of its files, so it is cut short there instead.
  std::string bytes = test_support::ReadBytes(archive_);
  for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  if (std::string(m.file) == "CAB32.DLL") bytes.resize(bytes.size() / 2);
  std::string damaged = dir_.Write("damaged-" + std::string(m.archive), bytes);
  int r = Command(Fill(m.test, damaged), &message);
  EXPECT_NE(r, 0) << message;
  EXPECT_NE(r, -1);
  auto check = lib_.Entry<ARC_CHECK_FN>("CheckArchive");
  EXPECT_EQ(check(damaged.c_str(), CHECKARCHIVE_FULLCRC), 0);
}

INSTANTIATE_TEST_SUITE_P(Libraries, Family, ::testing::ValuesIn(Members()),
                         [](const auto& info) { return test_support::TestNameOf(info.param.file); });

// The state entries share the engine's own answers: GetRunning is TRUE
// while a command runs (asked from its progress callback), and the old
// owner-window forms register and clear a window.
int g_runningSeen = -1;
int (ARC_API* g_getRunning)() = nullptr;
int ARC_API NoteRunning(ARC_HWND, unsigned, unsigned, EXTRACTINGINFOEX*) {
  g_runningSeen = g_getRunning();
  return 1;
}

TEST(FamilyState, RunningWhileACommandRunsAndTheOldOwnerForms) {
  TempDir dir;
  std::string archive = MakeArchive(dir, Members()[0]);
  ASSERT_FALSE(archive.empty());
  ArcLibrary lha("UNLHA32.DLL", "Unlha");
  g_getRunning = lha.Entry<int(ARC_API*)()>("GetRunning");
  auto setEx = lha.Entry<ARC_SETOWNER_FN>("SetOwnerWindowEx");
  auto killEx = lha.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx");
  auto set = lha.Entry<int(ARC_API*)(ARC_HWND)>("SetOwnerWindow");
  auto clear = lha.Entry<int(ARC_API*)()>("ClearOwnerWindow");
  ASSERT_TRUE(g_getRunning && setEx && killEx && set && clear);
  ASSERT_EQ(setEx(77, &NoteRunning), 1);
  EXPECT_EQ(lha.Command(Fill("x %A %D", archive, dir.Path() + "out/")), 0);
  EXPECT_EQ(g_runningSeen, 1);
  EXPECT_EQ(g_getRunning(), 0);
  EXPECT_EQ(killEx(77), 1);
  EXPECT_EQ(set(0), 0);
  EXPECT_EQ(set(78), 1);
  EXPECT_EQ(clear(), 1);
  EXPECT_EQ(clear(), 0);  // nothing registered any more
  EXPECT_EQ(killEx(78), 0);
}

}  // namespace
