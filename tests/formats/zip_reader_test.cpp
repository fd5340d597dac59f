// SPDX-License-Identifier: MIT
// The ZIP reader's use of the central directory: each entry libarchive
// lists gets the flags, CRC, method and name coding of its own directory
// record, also when names repeat, libarchive rewrites a name, the directory
// lists the entries in another order, or the directory is found through a
// ZIP64 end record behind a self-extractor stub.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>

#include "archivers/zip/zip_directory.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/archive_maker.h"
#include "archivers/zip/zip_format.h"

using namespace fmt_test;
using test_support::Put16;
using test_support::Put32;
using test_support::PutZipEnd;

namespace {

struct ZipItem {
  ZipItem(std::string n, std::string d, std::uint16_t f = 0, unsigned h = 0, std::string x = {})
      : name(std::move(n)), data(std::move(d)), flags(f), host(h), extra(std::move(x)) {}
  std::string name;
  std::string data;
  std::uint16_t flags = 0;  // general-purpose bits, e.g. 0x0800 for a UTF-8 name
  unsigned host = 0;        // made-by host: 0 DOS, 3 Unix, 19 macOS
  std::string extra;        // extra fields, in both headers
};

struct ZipLayoutOptions {
  bool zip64End = false;          // a ZIP64 end record and locator, the 32-bit fields kept
  std::string stub;               // bytes in front, offsets left as for the archive alone
  bool reversedDirectory = false; // directory records in the opposite order of the data
};

// A stored ZIP: local headers with data, central directory, end record.
std::string WriteStoredZip(const std::vector<ZipItem>& items, const ZipLayoutOptions& opt = {}) {
  std::string out;
  std::vector<std::string> records;
  for (const auto& item : items) {
    std::string dir;
    auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size())));
    auto size = static_cast<std::uint32_t>(item.data.size());
    std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    // Version, flags, method 0, DOS time and date (2025-01-12 12:00), CRC, sizes.
    auto common = [&](std::string& s) {
      Put16(s, 10);
      Put16(s, item.flags);
      Put16(s, 0);
      Put32(s, 0x5A2C6000);
      Put32(s, crc);
      Put32(s, size);
      Put32(s, size);
      Put16(s, static_cast<unsigned>(item.name.size()));
      Put16(s, static_cast<unsigned>(item.extra.size()));
    };
    Put32(out, 0x04034b50);
    common(out);
    out += item.name + item.extra + item.data;
    Put32(dir, 0x02014b50);
    Put16(dir, 20 | item.host << 8);
    common(dir);
    Put16(dir, 0);  // comment
    Put16(dir, 0);  // disk
    Put16(dir, 0);  // internal attributes
    Put32(dir, 0);  // external attributes
    Put32(dir, offset);
    dir += item.name + item.extra;
    records.push_back(dir);
  }
  if (opt.reversedDirectory) std::reverse(records.begin(), records.end());
  std::string dir;
  for (const auto& r : records) dir += r;
  std::uint32_t dirOffset = static_cast<std::uint32_t>(out.size());
  out += dir;
  if (opt.zip64End) {
    std::uint32_t recordAt = static_cast<std::uint32_t>(out.size());
    Put32(out, 0x06064b50);
    Put32(out, 44);  // size of the rest
    Put32(out, 0);
    Put16(out, 45);
    Put16(out, 45);
    Put32(out, 0);  // disks
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(items.size()));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(items.size()));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(dir.size()));
    Put32(out, 0);
    Put32(out, dirOffset);
    Put32(out, 0);
    Put32(out, 0x07064b50);
    Put32(out, 0);
    Put32(out, recordAt);
    Put32(out, 0);
    Put32(out, 1);
  }
  PutZipEnd(out, items.size(), dir.size(), dirOffset);
  return opt.stub + out;
}

std::uint32_t Crc(const std::string& s) {
  return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size())));
}

std::vector<ReadEntry> ReadZip(const std::vector<ZipItem>& items, const ZipLayoutOptions& opt = {}) {
  TempDir dir;
  std::string path = dir.Write("t.zip", WriteStoredZip(items, opt));
  auto reader = arc::OpenZipReader(path);
  return ReadAllEntries(*reader);
}

TEST(ZipReader, RepeatedNamesTakeTheirOwnDirectoryRecordsInOrder) {
  std::vector<ZipItem> items = {
      {"a.bms", "first", 0x0800},
      {"b.bms", "other", 0},
      {"a.bms", "second copy", 0},
      {"\x83\x5C.bms", "CP932 name", 0},  // "ソ.bms": raw bytes, unflagged
  };
  auto read = ReadZip(items);
  ASSERT_EQ(read.size(), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read[i].info.name, items[i].name);
    EXPECT_EQ(read[i].data, items[i].data);
    EXPECT_EQ(read[i].info.crc, Crc(items[i].data));
    EXPECT_EQ(read[i].info.method, "store");
    EXPECT_EQ(read[i].info.nameIsUtf8, (items[i].flags & 0x0800) != 0);
  }
}

// An Info-ZIP Unicode Path field (0x7075) for `raw` holding `utf8`.
std::string UnicodePath(const std::string& raw, const std::string& utf8, std::uint32_t crcDelta = 0) {
  std::string field;
  Put16(field, 0x7075);
  Put16(field, static_cast<unsigned>(5 + utf8.size()));
  field += '\x01';
  Put32(field, Crc(raw) + crcDelta);
  return field + utf8;
}

TEST(ZipReader, NameCodingFollowsFlagUnicodePathHostAndValidity) {
  const std::string so = "\xE3\x82\xBD";                  // ソ in UTF-8, valid CP932 too
  const std::string fullA = "\xEF\xBC\xA1";               // Ａ in UTF-8: 0xEF 0xBC is no CP932 pair
  const std::string soCp932 = "\x83\x5C";                  // ソ in CP932
  const std::string euro = "\xE2\x82\xAC_for_Dollar.txt";  // €: no CP932 form
  // Valid as CP932 (half-width "ﾐｵﾐｻ") and as UTF-8 ("ел"): the host decides.
  const std::string both = "\xD0\xB5\xD0\xBB.bms";
  struct Case {
    const char* what;
    ZipItem item;
    std::string name;
    bool utf8;
  } cases[] = {
      {"flagged UTF-8", {so + ".bms", "1", 0x0800, 0}, so + ".bms", true},
      {"unflagged CP932 from Windows", {soCp932 + ".bms", "2", 0, 0}, soCp932 + ".bms", false},
      {"unflagged UTF-8 from Unix", {both, "3", 0, 3}, both, true},
      {"unflagged UTF-8 from macOS", {both, "4", 0, 19}, both, true},
      {"valid as both, from Windows", {both, "5", 0, 0}, both, false},
      {"UTF-8 that is no CP932, from Windows", {fullA + ".bms", "6", 0, 0}, fullA + ".bms", true},
      {"UTF-8 that is CP932 as well, from Windows", {so + ".bms", "6", 0, 0}, so + ".bms", false},
      {"CP932 that is no UTF-8, from Unix", {soCp932 + ".bms", "7", 0, 3}, soCp932 + ".bms", false},
      {"Unicode Path field with its CRC", {"?_for_Dollar.txt", "8", 0, 0, UnicodePath("?_for_Dollar.txt", euro)},
       euro, true},
      {"Unicode Path field with a wrong CRC",
       {"x_for_Dollar.txt", "9", 0, 0, UnicodePath("x_for_Dollar.txt", euro, 1)}, "x_for_Dollar.txt", false},
  };
  std::vector<ZipItem> items;
  for (const auto& c : cases) items.push_back(c.item);
  auto read = ReadZip(items);
  ASSERT_EQ(read.size(), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    EXPECT_EQ(read[i].info.name, cases[i].name);
    EXPECT_EQ(read[i].info.nameIsUtf8, cases[i].utf8);
    EXPECT_EQ(read[i].data, cases[i].item.data);
  }
}

TEST(ZipReader, EntriesPairWithTheirRecordsWhateverTheLayout) {
  // Names libarchive rewrites (the Unicode Path field replaces the name),
  // repeated names and distinct CRCs, so that a record taken by name or by
  // directory order would show.
  const std::string euro = "\xE2\x82\xAC.txt";
  std::vector<ZipItem> items = {
      {"a.bms", "first", 0x0800},
      {"?.txt", "euro", 0, 0, UnicodePath("?.txt", euro)},
      {"a.bms", "second copy", 0},
      {"\x83\x5C.bms", "CP932 name", 0},
  };
  struct Layout {
    const char* what;
    ZipLayoutOptions opt;
  } layouts[] = {
      {"plain", {}},
      {"directory in reverse order", {false, "", true}},
      {"ZIP64 end record", {true, "", false}},
      {"ZIP64 end record behind a stub", {true, std::string(777, 'M'), false}},
      {"stub", {false, std::string(1000, 'Z'), true}},
  };
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.what);
    std::vector<ReadEntry> read;
    EXPECT_EQ(ErrorCodeOf([&] { read = ReadZip(items, layout.opt); }), 0);
    ASSERT_EQ(read.size(), items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(read[i].info.name, i == 1 ? euro : items[i].name);
      EXPECT_EQ(read[i].data, items[i].data);
      EXPECT_EQ(read[i].info.crc, Crc(items[i].data));
      EXPECT_EQ(read[i].info.method, "store");
      EXPECT_EQ(read[i].info.nameIsUtf8, i == 1 || (items[i].flags & 0x0800) != 0);
    }
  }
}

}  // namespace

namespace {

TEST(ZipReader, TheEndRecordIsFoundBehindCommentsOfAnyLength) {
  std::vector<ZipItem> items = {{"a.bms", "chart"}, {"b.wav", "sound"}};
  const std::string plain = WriteStoredZip(items);
  // A comment may hold what looks like an end record: with its own comment
  // length running past the file ("cc"), or a whole empty-archive record
  // whose 0-byte comment ends inside the file. Neither is the archive's
  // record, whose comment runs to the end. Bytes appended after the comment
  // leave no record ending there: then the last one that fits counts.
  const std::string fakeEmpty = std::string("PK\x05\x06") + std::string(18, '\0');
  struct Case {
    std::size_t length;
    std::size_t strayAt;  // from the comment's end; 0: none
    std::string stray;
    std::string appended;
  };
  const Case cases[] = {
      {0, 0, "", ""},        {1, 0, "", ""},          {990, 0, "", ""},
      {1002, 30, "PK\x05\x06", ""}, {1003, 0, "", ""}, {1500, 0, "", ""},
      {20000, 0, "", ""},    {65535, 30, "PK\x05\x06", ""},
      {100, 40, fakeEmpty, ""}, {30000, 40, fakeEmpty, ""}, {40, 0, "", "appended"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + " stray at " + std::to_string(c.strayAt) + " " + c.appended);
    std::string comment(c.length, 'c');
    if (c.strayAt) comment.replace(c.length - c.strayAt, c.stray.size(), c.stray);
    std::string zip = plain;
    zip[zip.size() - 2] = static_cast<char>(c.length & 0xFF);
    zip[zip.size() - 1] = static_cast<char>(c.length >> 8);
    zip += comment + c.appended;
    TempDir dir;
    std::string path = dir.Write("t.zip", zip);
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    arc::ZipDirectory d = arc::ReadZipDirectory(fd, zip.size());
    close(fd);
    EXPECT_EQ(d.comment, comment);
    ASSERT_EQ(d.entries.size(), items.size());
    std::vector<ReadEntry> read;
    EXPECT_EQ(ErrorCodeOf([&] { read = ReadAllEntries(*arc::OpenZipReader(path)); }), 0);
    ASSERT_EQ(read.size(), items.size());
    EXPECT_EQ(read[0].data, "chart");
    EXPECT_EQ(read[1].data, "sound");
  }
}

}  // namespace
