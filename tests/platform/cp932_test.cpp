// SPDX-License-Identifier: MIT
#include "platform/cp932.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/paths.h"

using namespace platform;

// "表" is 0x95 0x5C in CP932: its second byte is the ASCII backslash, and
// "ソ" is 0x83 0x5C. Both must count as one character.
const std::string kHyou = "\x95\x5C";

TEST(Cp932, WholeCharacterWalking) {
  std::string s = "a" + kHyou + "b";
  EXPECT_EQ(NextCharPos(s, 0), 1u);
  EXPECT_EQ(NextCharPos(s, 1), 3u);
  EXPECT_EQ(PrevCharPos(s, 3), 1u);
  EXPECT_EQ(LastCharPos("a" + kHyou), 1u);
  EXPECT_EQ(LastCharPos(""), std::string::npos);
  // A lead byte at the end is a character of its own.
  EXPECT_EQ(NextCharPos("a\x95", 1), 2u);
  EXPECT_EQ(LastByteCharPos("a" + kHyou, '\\'), std::string::npos);
  EXPECT_EQ(LastByteCharPos("a\\" + kHyou, '\\'), 1u);
}

TEST(Cp932, RoundTripsJapanese) {
  std::string utf8 = "曲名テスト○";
  std::string cp = Utf8ToCp932(utf8);
  EXPECT_EQ(cp.substr(cp.size() - 2), "\x81\x9B");
  EXPECT_EQ(Cp932ToUtf8(cp), utf8);
  std::string out;
  EXPECT_FALSE(TryUtf8ToCp932("\xF0\x9F\x98\x80", out));  // an emoji has no CP932 form
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");
  EXPECT_FALSE(TryCp932ToUtf8("\x85\x40", out));  // unassigned
}

TEST(Paths, SplitsAtTheLastWholeDelimiter) {
  struct Case {
    std::string path, name, dir, ext;
  } cases[] = {
      {"/a/b.lzh", "b.lzh", "/a/", ".lzh"},
      {"/a.b/file", "file", "/a.b/", ""},
      {"x.tar.gz", "x.tar.gz", "", ".gz"},
      {"/d/" + kHyou + ".bms", kHyou + ".bms", "/d/", ".bms"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(ExtractFilePath(c.path), c.dir) << c.path;
    EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ChangeFileExt("/a/B.EXE", ".ini"), "/a/B.ini");
}

TEST(Files, WindowsMasks) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"a.bms", "*.bms", true},   {"b.BMS", "*.bms", true},  {"a.bmsx", "*.bms", false},
      {"noext", "*.*", true},     {"x", "x.*", true},        {"a.bme", "*.bm?", true},
      {"abc", "a*c", true},       {"abd", "a*c", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}
