// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>

#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"

namespace {

std::string Joined(const arc::EntryPath& p) {
  if (p.unsafe) return "<unsafe>";
  std::string s;
  for (auto& d : p.dirs) s += d + "/";
  return s + p.leaf;
}

TEST(EntryPath, KeepsEverythingInsideTheDestination) {
  struct Case {
    std::string name;
    bool utf8;
    std::string expected;
  } cases[] = {
      {"a.bms", false, "a.bms"},
      {"sub/a.bms", false, "sub/a.bms"},
      {"sub\\a.bms", false, "sub/a.bms"},
      {"/etc/passwd", false, "etc/passwd"},             // absolute: made relative
      {"\\\\server\\share\\x", false, "server/share/x"},
      {"C:\\evil.txt", false, "evil.txt"},              // drive letter dropped
      {"c:evil.txt", false, "evil.txt"},
      {"./a/./b", false, "a/b"},
      {"a//b", false, "a/b"},
      {"../evil", false, "<unsafe>"},
      {"a/../../evil", false, "<unsafe>"},
      {"a\\..\\..\\evil", false, "<unsafe>"},
      {"a/..", true, "<unsafe>"},
      {"..", false, "<unsafe>"},
      {"...", false, "..."},                           // only ".." itself climbs
      // Code page 932: the second byte 0x5C of "ソ" and "表" is no separator.
      {"\x83\x5C\x83\x74\x83\x89\x83\x93.bms", false, "ソフラン.bms"},
      {"\x95\x5C/\x83\x5C.bms", false, "表/ソ.bms"},
      {"日本語/x.bms", true, "日本語/x.bms"},
      // A stray lead byte does not swallow the separator after it.
      {"\xEB/x", false, "%EB/x"},
      {"\xEB/../../evil", false, "<unsafe>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Joined(arc::MakeEntryPath(c.name, c.utf8)), c.expected) << c.name;
}

TEST(EntryPath, InvalidBytesAreEscapedLosslessly) {
  struct Case {
    std::string part;
    bool utf8;
    std::string fs;
  } cases[] = {
      {"a\x80.bms", false, "a%80.bms"},       // 0x80 is no CP932 character
      {"a\xFF", false, "a%FF"},
      {"\x81", false, "%81"},                 // lead byte at the end
      {"\x81\x20x", false, "%81 x"},          // lead byte without a trail byte
      {"a%80.bms", false, "a%2580.bms"},      // the escape's own look-alike is escaped
      {"100%.bms", false, "100%.bms"},        // an ordinary "%" stays
      {"50%20x", false, "50%20x"},            // "%20" is no escape form (first digit below 8)
      {"a%25", false, "a%2525"},              // "%25" is how "%" itself reads back
      {"\xE3\x81", true, "%E3%81"},           // cut UTF-8 sequence
      {"\xC0\xAF", true, "%C0%AF"},           // overlong "/"
      {"\xB1\xB2", false, "ｱｲ"},            // half-width katakana: single bytes
  };
  for (const auto& c : cases) EXPECT_EQ(arc::FsComponent(c.part, c.utf8), c.fs) << c.part;
  // Distinct names never meet on disk.
  std::set<std::string> seen;
  for (std::string n : {"a\x80", "a%80", "a%2580", "a%252580", "a\x80\x80", "a%", "a"}) EXPECT_TRUE(seen.insert(arc::FsComponent(n, false)).second) << n;
}

TEST(EntryPath, UnicodeNamesAreWrittenComposed) {
  // macOS stores "譜面ガ" as "譜面カ" + U+3099; CP932 names never decompose.
  const std::string decomposed = "\xE6\x9B\xB2/\xE8\xAD\x9C\xE9\x9D\xA2\xE3\x82\xAB\xE3\x82\x99.bms";
  EXPECT_EQ(Joined(arc::MakeEntryPath(decomposed, true)), "曲/譜面ガ.bms");
  EXPECT_EQ(arc::DisplayName(decomposed, true), "\x8B\xC8/\x95\x88\x96\xCA\x83\x4B.bms");
  EXPECT_EQ(arc::FsComponent("\x83\x4B.bms", false), "ガ.bms");
  // A link to a decomposed name reaches the composed file.
  arc::EntryPath link = arc::MakeEntryPath("l", true);
  EXPECT_EQ(arc::SafeLinkTarget("\xE3\x82\xAB\xE3\x82\x99", true, link), "ガ");
}

TEST(EntryPath, OverlongNamesAreShortenedUniquelyKeepingTheExtension) {
  std::string kanji84;
  for (int i = 0; i < 84; ++i) kanji84 += "譜";  // 252 bytes of UTF-8
  const std::string a = kanji84 + ".bms", b = kanji84 + "x.bms";
  std::set<std::string> names;
  for (const std::string& n : {a, b, kanji84 + ".wav", kanji84 + "\xE3\x80\x9C.bms"}) {
    std::string fs = arc::FsComponent(n, true);
    SCOPED_TRACE(fs);
    EXPECT_LE(fs.size(), 255u);
    EXPECT_EQ(fs.substr(fs.size() - 4), n.substr(n.size() - 4));
    EXPECT_EQ(fs.compare(0, 30, n, 0, 30), 0);  // starts as the name does, whole characters
    EXPECT_TRUE(names.insert(fs).second);
    EXPECT_EQ(arc::FsComponent(n, true), fs);  // the same name every time
  }
  // CP932 names are measured by their UTF-8 form: 100 kanji are 300 bytes.
  std::string cp932;
  for (int i = 0; i < 100; ++i) cp932 += "\x95\x88";
  EXPECT_LE(arc::FsComponent(cp932 + ".bms", false).size(), 255u);
  // Names that fit stay as they are, however close to the limit.
  std::string fits = kanji84.substr(0, 249) + ".bms";
  EXPECT_EQ(arc::FsComponent(fits, true), fits);
}

TEST(EntryPath, LinkTargetsMustStayInside) {
  arc::EntryPath link = arc::MakeEntryPath("a/b/link", false);
  EXPECT_EQ(arc::SafeLinkTarget("target", false, link), "target");
  EXPECT_EQ(arc::SafeLinkTarget("../../x", false, link), "../../x");
  EXPECT_EQ(arc::SafeLinkTarget("../../../x", false, link), "");
  EXPECT_EQ(arc::SafeLinkTarget("/etc/passwd", false, link), "");
  EXPECT_EQ(arc::SafeLinkTarget("C:\\x", false, link), "");
  EXPECT_EQ(arc::SafeLinkTarget("..\\..\\..\\x", false, link), "");
  EXPECT_EQ(arc::SafeLinkTarget("", false, link), "");
}

TEST(FilePatterns, WindowsStyleMatching) {
  struct Case {
    std::string name;
    std::string pattern;
    bool match;
  } cases[] = {
      {"sub/a.bms", "*.*", true},
      {"noext", "*.*", true},
      {"sub/a.BMS", "*.bms", true},             // case-insensitive, any folder
      {"sub/a.bms", "a.bms", true},             // no folder part: the file name in any folder
      {"sub/a.bms", "sub/*.bms", true},
      {"sub/a.bms", "sub\\a.bms", true},
      {"other/a.bms", "sub/*.bms", false},
      {"sub/deep/a.bms", "sub/", true},         // a folder: everything below it
      {"a.wav", "*.bms", false},
      {"a[1].mid", "a[1].mid", true},
      // Chart masks: only a name ending in the extension, whatever the
      // folder, and a second byte equal to "\" is no folder delimiter.
      {"\x8b\xc8\x83\x5c/\x95\x5c.bms", "*.bms", true},   // 曲ソ/表.bms
      {"\x8b\xc8\x83\x5c/\x95\x5c.wav", "*.bms", false},
      {"song/x.bms.ogg", "*.bms", false},
      {"song/fake.bms/inside.txt", "*.bms", false},
      {"song/.bms", "*.bms", true},
  };
  for (const auto& c : cases) EXPECT_EQ(arc::PatternMatches(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
  EXPECT_TRUE(arc::EntrySelected("x.bms", {}, {}));
  EXPECT_FALSE(arc::EntrySelected("x.wav", {}, {"*.wav"}));
  EXPECT_FALSE(arc::EntrySelected("x.bms", {"*.bms"}, {"x.*"}));
}

}  // namespace
