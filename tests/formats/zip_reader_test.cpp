// The ZIP reader's use of the central directory: each entry libarchive
// lists gets the flags, CRC and method of its own directory record, also
// when names repeat.
#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/formats/format_fixture.h"

using namespace fmt_test;

namespace {

struct ZipItem {
  std::string name;
  std::string data;
  std::uint16_t flags = 0;  // general-purpose bits, e.g. 0x0800 for a UTF-8 name
};

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A stored ZIP: local headers with data, central directory, end record.
std::string WriteStoredZip(const std::vector<ZipItem>& items) {
  std::string out, dir;
  for (const auto& item : items) {
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
      Put16(s, 0);
    };
    Put32(out, 0x04034b50);
    common(out);
    out += item.name + item.data;
    Put32(dir, 0x02014b50);
    Put16(dir, 20);
    common(dir);
    Put16(dir, 0);  // comment
    Put16(dir, 0);  // disk
    Put16(dir, 0);  // internal attributes
    Put32(dir, 0);  // external attributes
    Put32(dir, offset);
    dir += item.name;
  }
  std::uint32_t dirOffset = static_cast<std::uint32_t>(out.size());
  out += dir;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<unsigned>(items.size()));
  Put16(out, static_cast<unsigned>(items.size()));
  Put32(out, static_cast<std::uint32_t>(dir.size()));
  Put32(out, dirOffset);
  Put16(out, 0);
  return out;
}

std::uint32_t Crc(const std::string& s) {
  return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size())));
}

std::vector<ReadEntry> ReadZip(const std::vector<ZipItem>& items) {
  TempDir dir;
  std::string path = dir.Write("t.zip", WriteStoredZip(items));
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

}  // namespace
