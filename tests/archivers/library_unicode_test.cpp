// SPDX-License-Identifier: MIT
// The libraries' Unicode mode: an archive whose path code page 932 cannot
// hold (노래.zip in Música/) opens, lists and unpacks with UTF-8 texts, on
// the thread that asked for the mode only.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "tests/support/files.h"

namespace {

namespace fs = std::filesystem;
using test_support::ArcLibrary;

struct Library {
  const char* file;
  const char* prefix;
};
const Library kLibraries[] = {{"UNLHA32.DLL", "Unlha"}, {"UNZIP32.DLL", "UnZip"}, {"ZIP32J.DLL", "Zip"},
                              {"LMZIP32.DLL", "Unzip"}, {"CAB32.DLL", "Cab"},     {"UNARJ32J.DLL", "Unarj"},
                              {"tar32.dll", "Tar"},     {"UNRAR32.DLL", "Unrar"}, {"7-ZIP32.DLL", "SevenZip"}};

int SetMode(const ArcLibrary& lib, int on) { return lib.Entry<ARC_SETUNICODE_FN>("SetUnicodeMode")(on); }
int GetMode(const ArcLibrary& lib) { return lib.Entry<ARC_GETUNICODE_FN>("GetUnicodeMode")(); }

TEST(LibraryUnicodeTest, EveryLibraryKeepsTheModePerThread) {
  for (const Library& l : kLibraries) {
    SCOPED_TRACE(l.file);
    ArcLibrary lib(l.file, l.prefix);
    ASSERT_TRUE(lib.Loaded());
    ASSERT_TRUE(lib.Entry<ARC_SETUNICODE_FN>("SetUnicodeMode"));
    EXPECT_EQ(GetMode(lib), 0);
    EXPECT_EQ(SetMode(lib, 1), 1);
    EXPECT_EQ(GetMode(lib), 1);
    int other = -1;
    std::thread([&] { other = GetMode(lib); }).join();
    EXPECT_EQ(other, 0);  // the other unpacking thread is not switched
    SetMode(lib, 0);
    EXPECT_EQ(GetMode(lib), 0);
  }
}

class UnicodeArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = tmp_.Path() + "Música/";
    fs::create_directories(folder_ + "src/노래");
    std::ofstream(folder_ + "src/노래/곡.bms") << "#TITLE 곡\r\n";
    std::ofstream(folder_ + "src/a.bms") << "#TITLE a\r\n";
    archive_ = folder_ + "노래.zip";
    // Info-ZIP flags UTF-8 names.
    ASSERT_EQ(test_support::Shell(folder_ + "src", "zip -qr '" + archive_ + "' 노래 a.bms"), 0);
  }
  std::vector<std::string> Names(const ArcLibrary& lib) {
    std::vector<std::string> names;
    HARC h = lib.Entry<ARC_OPEN_FN>("OpenArchive")(0, archive_.c_str(), M_ERROR_MESSAGE_OFF);
    if (!h) return names;
    INDIVIDUALINFO info;
    for (int r = lib.Entry<ARC_FINDFIRST_FN>("FindFirst")(h, "*.bms", &info); r == 0;
         r = lib.Entry<ARC_FINDNEXT_FN>("FindNext")(h, &info))
      names.push_back(info.szFileName);
    lib.Entry<ARC_CLOSE_FN>("CloseArchive")(h);
    return names;
  }
  test_support::TempDir tmp_;
  std::string folder_, archive_;
};

TEST_F(UnicodeArchiveTest, OpensListsAndUnpacksByUtf8PathsOnlyInUnicodeMode) {
  ArcLibrary unzip("UNZIP32.DLL", "UnZip");
  // In code page 932 the UTF-8 bytes name another file.
  EXPECT_TRUE(Names(unzip).empty());
  EXPECT_EQ(unzip.Entry<ARC_CHECK_FN>("CheckArchive")(archive_.c_str(), 0), 0);

  SetMode(unzip, 1);
  // Entry names come exactly, Hangul included.
  EXPECT_EQ(Names(unzip), (std::vector<std::string>{"노래/곡.bms", "a.bms"}));
  EXPECT_EQ(unzip.Entry<ARC_CHECK_FN>("CheckArchive")(archive_.c_str(), 0), 1);
  std::string output;
  // The destination ends in 래 (EB 9E 98): 0x98 followed by "/" would be
  // one character in code page 932.
  ASSERT_EQ(unzip.Command("-x  \"" + archive_ + "\" \"" + folder_ + "노래/\" *.bms", &output), 0) << output;
  EXPECT_EQ(test_support::ReadBytes(folder_ + "노래/노래/곡.bms"), "#TITLE 곡\r\n");
  EXPECT_TRUE(fs::exists(folder_ + "노래/a.bms"));
  // A mask CP932 holds selects as in code page 932; the output is UTF-8 text.
  ASSERT_EQ(unzip.Command("-x -j  \"" + archive_ + "\" \"" + folder_ + "flat/\" a.bms"), 0);
  EXPECT_EQ(test_support::FilesUnder(folder_ + "flat"), (std::map<std::string, std::string>{{"a.bms", "#TITLE a\r\n"}}));

  // Masks CP932 cannot hold select by the entries' UTF-8 names.
  ASSERT_EQ(unzip.Command("-x -j  \"" + archive_ + "\" \"" + folder_ + "kr/\" 곡.bms"), 0);
  ASSERT_EQ(unzip.Command("-x  \"" + archive_ + "\" \"" + folder_ + "kr2/\" 노래/*"), 0);
  EXPECT_EQ(test_support::FilesUnder(folder_ + "kr"), (std::map<std::string, std::string>{{"곡.bms", "#TITLE 곡\r\n"}}));
  EXPECT_EQ(test_support::FilesUnder(folder_ + "kr2"),
            (std::map<std::string, std::string>{{"노래/곡.bms", "#TITLE 곡\r\n"}}));
  HARC h = unzip.Entry<ARC_OPEN_FN>("OpenArchive")(0, archive_.c_str(), M_ERROR_MESSAGE_OFF);
  INDIVIDUALINFO info;
  ASSERT_EQ(unzip.Entry<ARC_FINDFIRST_FN>("FindFirst")(h, "?.bms", &info), 0);
  EXPECT_STREQ(info.szFileName, "노래/곡.bms");  // "?" is one character, 곡 as a.bms
  unzip.Entry<ARC_CLOSE_FN>("CloseArchive")(h);

  SetMode(unzip, 0);
  EXPECT_TRUE(Names(unzip).empty());
}

TEST_F(UnicodeArchiveTest, AResponseFileIsFoundAndReadAsUtf8InUnicodeMode) {
  ArcLibrary unzip("UNZIP32.DLL", "UnZip");
  const std::string list = folder_ + "목록.txt";
  std::ofstream(list) << "\"a.bms\"\r\n";
  SetMode(unzip, 1);
  ASSERT_EQ(unzip.Command("-x  \"" + archive_ + "\" \"" + folder_ + "r/\" \"@" + list + "\""), 0);
  SetMode(unzip, 0);
  EXPECT_EQ(test_support::FilesUnder(folder_ + "r"), (std::map<std::string, std::string>{{"a.bms", "#TITLE a\r\n"}}));
  // In code page 932 the same line names a response file that is not there.
  EXPECT_EQ(unzip.Command("-x  \"" + test_support::Sjis("曲.zip") + "\" \"@" + list + "\""), ERROR_RESPONSE_READ);
}

}  // namespace
