// SPDX-License-Identifier: MIT
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/files.h"

using test_support::TempDir;
using test_support::ReadBytes;
using test_support::WriteBytes;

using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;

TEST(Profile, ReadsWithTheProfileRules) {
  TempDir t;
  WriteBytes(t / "a.ini",
             "top=ignored\r\n"
             "[ Forms ]\r\n"
             "  Width = 12  \r\n"
             "width=second key of the same name\r\n"
             "quoted=\" spaced \"\r\n"
             "single='x'\r\n"
             "half=\"x\r\n"
             "novalue\r\n"
             "[forms]\r\n"
             "other=from the second section of that name\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"FORMS", "WIDTH", "12"},  // case-insensitive, blanks trimmed, first key wins
      {"Forms", "quoted", " spaced "},
      {"Forms", "single", "x"},
      {"Forms", "half", "\"x"},     // unmatched quote stays
      {"Forms", "novalue", "dflt"},  // a line without "=" holds no key
      {"Forms", "other", "dflt"},    // only the first section of a name counts
      {"Forms", "top", "dflt"},      // keys before any section belong to none
      {"Missing", "Width", "dflt"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "dflt", t / "a.ini"), c.expected) << c.key;
}

TEST(Profile, MissingFileGivesDefaultLessTrailingBlanks) {
  TempDir t;
  EXPECT_EQ(GetPrivateProfileString("S", "K", " d  ", t / "none.ini"), " d");
  // A folder is no settings file.
  EXPECT_EQ(GetPrivateProfileString("S", "K", "d", t.Path()), "d");
}

TEST(Profile, BufferSizeCutsWholeCharacters) {
  TempDir t;
  // "ア" is 0x83 0x41: its second byte looks like "A".
  WriteBytes(t / "a.ini", "[S]\nK=ab\x83\x41z\n");
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", t / "a.ini", 6), "ab\x83\x41z");
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", t / "a.ini", 4), "ab");  // not half of "ア"
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", t / "a.ini", 0), "");
}

TEST(Profile, SectionNameEndsAtAWholeBracket) {
  TempDir t;
  // "ゾ" is 0x83 0x5D: its second byte looks like "]".
  WriteBytes(t / "a.ini", "[\x83\x5d]\nK=1\n");
  EXPECT_EQ(GetPrivateProfileString("\x83\x5d", "K", "", t / "a.ini"), "1");
}

TEST(Profile, WriteCreatesFileSectionAndKey) {
  TempDir t;
  std::string f = t / "new.ini";
  ASSERT_TRUE(WritePrivateProfileString("One", "A", "1", f));
  ASSERT_TRUE(WritePrivateProfileString("One", "B", "2", f));
  ASSERT_TRUE(WritePrivateProfileString("Two", "C", "3", f));
  ASSERT_TRUE(WritePrivateProfileString("one", "a", "10", f));  // replaces A in place, keeps its spelling
  EXPECT_EQ(ReadBytes(f), "[One]\nA=10\nB=2\n\n[Two]\nC=3\n");
}

TEST(Profile, WriteKeepsEverythingElseByteForByte) {
  TempDir t;
  std::string f = t / "a.ini";
  WriteBytes(f,
             "; comment\r\n"
             "[First]\r\n"
             "x = 1 \r\n"
             "\r\n"
             "[Second]\r\n"
             "y=2");  // no line end at the very end
  ASSERT_TRUE(WritePrivateProfileString("first", "new", "n", f));
  ASSERT_TRUE(WritePrivateProfileString("Second", "z", "3", f));
  ASSERT_TRUE(WritePrivateProfileString("FIRST", "X", "9", f));
  EXPECT_EQ(ReadBytes(f),
            "; comment\r\n"
            "[First]\r\n"
            "x=9\r\n"
            "new=n\r\n"
            "\r\n"
            "[Second]\r\n"
            "y=2\r\n"
            "z=3\r\n");
}

TEST(Profile, WriteRefusesLineBreaksThatWouldSplitTheFile) {
  TempDir t;
  std::string f = t / "a.ini";
  WriteBytes(f, "[S]\nK=1\n");
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "1\n[Evil]", f));
  EXPECT_FALSE(WritePrivateProfileString("S\r", "K", "1", f));
  EXPECT_FALSE(WritePrivateProfileString("S", "K\n", "1", f));
  EXPECT_EQ(ReadBytes(f), "[S]\nK=1\n");
}

TEST(Profile, WriteKeepsPermissionsAndFollowsLinks) {
  TempDir t;
  std::string real = t / "real.ini", link = t / "link.ini";
  WriteBytes(real, "[S]\nK=1\n");
  chmod(real.c_str(), 0640);
  ASSERT_EQ(symlink("real.ini", link.c_str()), 0);
  ASSERT_TRUE(WritePrivateProfileString("S", "K", "2", link));
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadBytes(real), "[S]\nK=2\n");
  // No temporary file is left beside it.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(t.Path())) entries += e.path().filename().string()[0] == '.';
  EXPECT_EQ(entries, 0);
}

// The read-only attribute is the absence of every write bit; it refuses the
// write for root too, where permission checks alone would let it through.
TEST(Profile, ReadOnlyFileOrFolderRefusesTheWriteAndKeepsTheFile) {
  TempDir t;
  std::string f = t / "ro.ini";
  WriteBytes(f, "[S]\nK=1\n");
  chmod(f.c_str(), 0444);
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "2", f));
  EXPECT_EQ(ReadBytes(f), "[S]\nK=1\n");

  std::string dir = t / "rodir";
  mkdir(dir.c_str(), 0755);
  WriteBytes(dir + "/a.ini", "[S]\nK=1\n");
  chmod(dir.c_str(), 0555);
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "2", dir + "/a.ini"));
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "2", dir + "/new.ini"));
  EXPECT_EQ(ReadBytes(dir + "/a.ini"), "[S]\nK=1\n");
  EXPECT_FALSE(std::filesystem::exists(dir + "/new.ini"));
}

TEST(Profile, UnwritablePlacesAreRefused) {
  TempDir t;
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "1", t / "missing/a.ini"));
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "1", t.Path()));             // a folder
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "1", "/proc/bmslist.ini"));  // no files can be made there
}
