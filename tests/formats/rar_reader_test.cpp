// SPDX-License-Identifier: MIT
// The RAR reader against stored archives from the test writer, with unar as
// the reference extractor (which also vouches for the writer).
#include <gtest/gtest.h>
#include <zlib.h>

#include "archiver_api.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/rar_writer.h"
#include "archivers/rar/rar_format.h"

using namespace fmt_test;

namespace {

std::vector<RarEntry> SampleEntries(bool dosSeparators) {
  std::string sep = dosSeparators ? "\\" : "/";
  return {
      {"a.bms", {}, SampleText(3000, 21)},
      {"sub", {}, "", true},
      {"sub" + sep + "deep" + sep + "b.txt", {}, SampleText(500, 22)},
      {"noise.bin", {}, NoiseBytes(150000, 23)},  // more than one read piece
      {"empty.txt", {}, ""},
  };
}

const std::map<std::string, std::string> kSampleFiles = [] {
  std::map<std::string, std::string> m;
  for (const auto& e : SampleEntries(false)) {
    if (!e.directory) m[e.name] = e.data;
  }
  return m;
}();

struct Version {
  const char* what;
  std::string (*write)(const std::vector<RarEntry>&);
  bool dosSeparators;
  bool ownReader;  // RAR 5 goes to the libarchive reader, which does not give the CRC
};

std::string WriteRar4Plain(const std::vector<RarEntry>& e) { return WriteRar4(e); }

class RarVersions : public ::testing::TestWithParam<Version> {};

TEST_P(RarVersions, ReadsStoredArchiveAsUnarDoes) {
  TempDir dir;
  std::string path = dir.Write("t.rar", GetParam().write(SampleEntries(GetParam().dosSeparators)));
  auto entries = ReadAllEntries(*arc::OpenRarReader(path));
  EXPECT_EQ(FilesOf(entries), kSampleFiles);
  for (const auto& e : entries) {
    if (e.info.isDirectory) continue;
    if (GetParam().ownReader) {
      EXPECT_EQ(e.info.crc, crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), e.data.size())) << e.info.name;
    }
    EXPECT_EQ(e.info.size, e.data.size());
    EXPECT_FALSE(e.info.encrypted);
  }
  if (!HaveTool("unar")) GTEST_SKIP() << "unar not installed";
  ASSERT_EQ(Shell(dir.Path(), "unar -q -D -o ref t.rar"), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "ref"), kSampleFiles);
}

INSTANTIATE_TEST_SUITE_P(Stored, RarVersions,
                         ::testing::Values(Version{"rar4", &WriteRar4Plain, true, true},
                                           Version{"rar5", &WriteRar5, false, false}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(RarReader, Rar4NamesFollowTheUnicodeFlagAndTheHost) {
  struct Case {
    Case(const char* w, std::string r, std::u16string u, std::string n, bool u8, std::uint8_t h = 2)
        : what(w), raw(std::move(r)), unicode(std::move(u)), name(std::move(n)), utf8(u8), host(h) {}
    const char* what;
    std::string raw;
    std::u16string unicode;
    std::string name;
    bool utf8;
    std::uint8_t host;
  } cases[] = {
      // "表" (0x95 0x5C) ends in the byte of "\", which must not split it.
      {"raw CP932", "\x95\x5C\\\x8B\xC8.bms", u"", "\x95\x5C/\x8B\xC8.bms", false},
      {"Unicode that CP932 holds", "sub\\?.bms", u"sub\\\u66F2.bms", "sub/\xE6\x9B\xB2.bms", true},
      {"Unicode beyond CP932", "?.bms", u"\u00F1.bms", "\xC3\xB1.bms", true},
      // Cyrillic shares one high byte; the ASCII tail is a run from the ANSI name.
      {"Cyrillic", "??????.bms", u"\u041F\u0440\u0438\u0432\u0435\u0442.bms",
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.bms", true},
      {"beyond the basic plane", "??.bms", u"\U0001F600.bms", "\xF0\x9F\x98\x80.bms", true},
      {"a lone surrogate falls back to the ANSI name", "x.bms", u"\xD800x.bms", "x.bms", false},
      {"UTF-8 from a Unix host", "\xE6\x9B\xB2/\xE8\xAD\x9C.bms", u"", "\xE6\x9B\xB2/\xE8\xAD\x9C.bms", true, 3},
      {"no valid UTF-8 from a Unix host", "\x95\x5C.bms", u"", "\x95\x5C.bms", false, 3},
      {"UTF-8 bytes from Windows are CP932", "\xE6\x9B\xB2.bms", u"", "\xE6\x9B\xB2.bms", false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    RarEntry e{c.raw, c.unicode, "data"};
    e.host = c.host;
    std::string path = dir.Write("n.rar", WriteRar4({e}));
    auto entries = ReadAllEntries(*arc::OpenRarReader(path));
    ASSERT_EQ(entries.size(), 1u) << c.what;
    EXPECT_EQ(entries[0].info.name, c.name) << c.what;
    EXPECT_EQ(entries[0].info.nameIsUtf8, c.utf8) << c.what;
    EXPECT_EQ(entries[0].data, "data") << c.what;
  }
}

TEST(RarReader, ErrorsSayWhatIsWrong) {
  TempDir dir;
  std::string good = WriteRar4({{"a.bms", {}, SampleText(2000, 25)}});
  auto flipped = [&](const std::string& what) {
    std::string s = good;
    s[s.find(what)] ^= 0x01;
    return s;
  };
  struct Case {
    const char* what;
    std::string bytes;
    int code;
  } cases[] = {
      {"encrypted headers", WriteRar4({{"a.bms", {}, "x"}}, 0x0080), ERROR_PASSWORD_FILE},
      {"damaged name", flipped("a.bms"), ERROR_HEADER_CRC},
      {"damaged data", flipped(SampleText(2000, 25).substr(1000, 20)), ERROR_FILE_CRC},
      {"cut data", good.substr(0, good.size() - 1000), ERROR_UNEXPECTED_EOF},
      {"no archive", "Rar! but nothing like one", ERROR_NOT_ARC_FILE},
      {"empty", "", ERROR_NOT_ARC_FILE},
  };
  for (const auto& c : cases) {
    std::string path = dir.Write("x.rar", c.bytes);
    EXPECT_EQ(ReadErrorCode(arc::OpenRarReader, path), c.code) << c.what;
  }
  EXPECT_EQ(ErrorCodeOf([&] { arc::OpenRarReader(dir.Path() + "missing.rar"); }), ERROR_ARC_FILE_OPEN);
}

}  // namespace

// RAR 4 and RAR 5 alike: an encrypted entry is listed, its data refused,
// and the entry after it read as usual.
TEST(RarReader, EncryptedEntryIsRefusedAndTheNextStillRead) {
  TempDir dir;
  std::vector<RarEntry> entries = {{"secret.bms", {}, NoiseBytes(100, 24)}, {"open.bms", {}, "plain"}};
  entries[0].encrypted = true;
  for (const auto& [version, bytes] : {std::pair{"RAR 4", WriteRar4(entries)}, std::pair{"RAR 5", WriteRar5(entries)}}) {
    SCOPED_TRACE(version);
    auto reader = arc::OpenRarReader(dir.Write("e.rar", bytes));
    arc::EntryInfo info;
    ASSERT_TRUE(reader->Next(info));
    EXPECT_TRUE(info.encrypted);
    EXPECT_EQ(DataErrorCode(*reader), ERROR_PASSWORD_FILE);
    ASSERT_TRUE(reader->Next(info));
    EXPECT_EQ(info.name, "open.bms");
    EXPECT_FALSE(info.encrypted);
    EXPECT_EQ(info.crc, crc32(0, reinterpret_cast<const Bytef*>("plain"), 5));
    EXPECT_EQ(ReadCurrentData(*reader), "plain");
  }
}

TEST(RarReader, UnixSymlinkEntriesAreLinksWithTheirTarget) {
  RarEntry link{"link.bms", {}, "\xE8\xAD\x9C.bms"};
  link.host = 3;
  link.attributes = 0120777;
  RarEntry plain{"file.bms", {}, "#TITLE x\r\n"};
  plain.host = 3;
  plain.attributes = 0100644;
  // The same mode from Windows is an attribute word, not a link.
  RarEntry windows{"win.bms", {}, "target"};
  windows.attributes = 0120777;
  TempDir dir;
  auto entries = ReadAllEntries(*arc::OpenRarReader(dir.Write("l.rar", WriteRar4({link, plain, windows}))));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_TRUE(entries[0].info.isSymlink);
  EXPECT_EQ(entries[0].info.linkTarget, "\xE8\xAD\x9C.bms");
  EXPECT_TRUE(entries[0].info.nameIsUtf8);
  EXPECT_FALSE(entries[1].info.isSymlink);
  EXPECT_EQ(entries[1].data, "#TITLE x\r\n");
  EXPECT_FALSE(entries[2].info.isSymlink);
  EXPECT_EQ(entries[2].data, "target");
}

// Blocks that are no file header (here an old-style comment) lie between
// entries; the header walk steps over them by their sizes, so each entry
// still gets its own header, name and data.
TEST(RarReader, Rar4BlocksBetweenEntriesAreSteppedOver) {
  std::string archive = WriteRar4({{"a.bms", {}, "first"}, {"b.bms", {}, "second"}});
  std::string block = std::string("\0\0\x75\x00\x00\x17\x00", 7) + std::string(16, 'C');
  std::uint16_t crc = crc32(0, reinterpret_cast<const Bytef*>(block.data() + 2), block.size() - 2) & 0xFFFF;
  block[0] = static_cast<char>(crc & 0xFF);
  block[1] = static_cast<char>(crc >> 8);
  archive.insert(archive.find("first") + 5, block);
  TempDir dir;
  auto entries = ReadAllEntries(*arc::OpenRarReader(dir.Write("blocks.rar", archive)));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].info.name, "a.bms");
  EXPECT_EQ(entries[0].data, "first");
  EXPECT_EQ(entries[1].info.name, "b.bms");
  EXPECT_EQ(entries[1].data, "second");
}
