// SPDX-License-Identifier: MIT
// Paths CP932 cannot hold travel as marked UTF-8: every path function must
// take them whole, never split a character or lose the mark.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/paths.h"
#include "tests/support/files.h"

using namespace platform;

namespace {

const std::string M(1, kUtf8PathMark);

TEST(PathTextTest, CP932WhereItHoldsThePathElseMarkedUtf8) {
  struct {
    const char* utf8;
    std::string system;
  } cases[] = {
      {"/s/song.lzh", "/s/song.lzh"},
      {"/s/曲.lzh", "/s/\x8B\xC8.lzh"},
      {"/s/Café_song.lzh", M + "/s/Café_song.lzh"},
      {"/s/노래.lzh", M + "/s/노래.lzh"},
      {"/Música/曲.lzh", M + "/Música/曲.lzh"},
      {"/s/\xF0\x9F\x98\x80.lzh", M + "/s/\xF0\x9F\x98\x80.lzh"},
  };
  for (auto& c : cases) {
    EXPECT_EQ(PathFromUtf8(c.utf8), c.system) << c.utf8;
    EXPECT_EQ(IsUtf8Path(c.system), c.system[0] == kUtf8PathMark);
    EXPECT_EQ(FsName(c.system), c.utf8);
    EXPECT_EQ(FromFsName(c.utf8), c.system);
    EXPECT_EQ(PathUtf8(c.system), c.utf8);
  }
  // A twin (〜 for ～) stays CP932: FsName finds the form that exists.
  EXPECT_EQ(PathFromUtf8("/s/曲〜.lzh"), "/s/\x8B\xC8\x81\x60.lzh");
}

TEST(PathTextTest, PartsOfAMarkedPathAreWholeCharacters) {
  // "래" ends in 0x98, a CP932 lead byte: read as CP932 it would swallow
  // the "." or "/" after it.
  struct {
    std::string path, name, folder, ext;
  } cases[] = {
      {M + "/s/노래.lzh", "노래.lzh", M + "/s/", ".lzh"},
      {M + "/노래/a.zip", "a.zip", M + "/노래/", ".zip"},
      {M + "/Música/", "", M + "/Música/", ""},
      {M + "/a.b/노래", "노래", M + "/a.b/", ""},
  };
  for (auto& c : cases) {
    EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(ExtractFilePath(c.path), c.folder) << c.path;
    EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
  }
  EXPECT_TRUE(EndsWithDelimiter(M + "/노래/"));
  EXPECT_FALSE(EndsWithDelimiter(M));
  EXPECT_EQ(IncludeTrailingDelimiter(M + "/노래"), M + "/노래/");
  EXPECT_EQ(ExpandFileName(M + "/a/../노래/./b.lzh"), M + "/노래/b.lzh");
  EXPECT_EQ(ExpandFileName(M + "/노래/"), M + "/노래/");
}

TEST(PathTextTest, RelativePathsTakeTheFormTheWholeNeeds) {
  test_support::TempDir tmp;
  const std::string folder = tmp.Path() + "Música";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  char was[4096];
  ASSERT_TRUE(getcwd(was, sizeof was));
  ASSERT_EQ(chdir(folder.c_str()), 0);
  // A CP932 name in a folder CP932 cannot hold becomes UTF-8 as a whole.
  EXPECT_EQ(AbsolutePath("\x8B\xC8.lzh"), M + folder + "/曲.lzh");
  EXPECT_EQ(ExpandFileName("x/../\x8B\xC8.lzh"), M + folder + "/曲.lzh");
  EXPECT_EQ(AbsolutePath(M + "노래.lzh"), M + folder + "/노래.lzh");
  ASSERT_EQ(chdir(tmp.Path().c_str()), 0);
  EXPECT_EQ(AbsolutePath("a.lzh"), FromFsName(tmp.Path()) + "a.lzh");
  EXPECT_EQ(AbsolutePath(M + "노래.lzh"), M + tmp.Path() + "노래.lzh");
  ASSERT_EQ(chdir(was), 0);
}

TEST(PathTextTest, Utf8MasksMatchWholeCharacters) {
  struct {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"곡.bms", "?.bms", true},   {"곡곡.bms", "?.bms", false}, {"노래/곡.BMS", "노래/*.bms", true},
      {"노래.bms", "노*", true},   {"노래.bms", "래*", false},   {"x", "*.*", true},
      {"Café.lzh", "CAFÉ.LZH", false},  // only ASCII letters ignore case
      {"Café.lzh", "cafÉ.lzh", false}, {"Café.lzh", "CAFé.lzh", true}, {"a", "a.*", true},
  };
  for (auto& c : cases) EXPECT_EQ(MatchesMaskUtf8(c.name, c.mask), c.matches) << c.name << " " << c.mask;
}

}  // namespace
