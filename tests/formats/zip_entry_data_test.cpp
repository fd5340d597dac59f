// SPDX-License-Identifier: MIT
// Entry data read and inflated in one piece: exact data for stored and
// deflated entries, a CRC error for data the record's CRC does not cover,
// and the streaming path (never a crash or a read past the file) whenever
// the local header, the sizes or the data do not add up.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>


#include "archiver_api.h"
#include "archivers/zip/zip_directory.h"
#include "archivers/zip/zip_entry_data.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/archive_maker.h"
#include "archivers/zip/zip_format.h"

using namespace fmt_test;
using test_support::Put16;
using test_support::Put32;
using test_support::PutZipEnd;
using test_support::RawDeflate;

namespace {

std::uint32_t Crc(const std::string& s) {
  return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size())));
}

// One entry and the ways its headers may lie about it.
struct Item {
  std::string name;
  std::string data;
  std::uint16_t method = 8;
  std::uint16_t flags = 0;
  std::uint32_t dirCrcDelta = 0;            // directory CRC off by this
  std::int64_t dirPackedDelta = 0;          // directory's compressed size off by this
  std::int64_t dirSizeDelta = 0;            // directory's size off by this
  int localMethod = -1;                     // local header's method, when not the record's
  int localExtraLength = -1;                // local header's extra length, when not the real one
  bool localSignatureBroken = false;
  bool dataFlipped = false;                 // a bit of the stored data flipped
  std::int64_t dirOffsetDelta = 0;          // directory's local header offset off by this
};

std::string ZipOf(const std::vector<Item>& items) {
  std::string out, dir;
  for (const auto& item : items) {
    std::string packed = item.method == 8 ? RawDeflate(item.data) : item.data;
    if (item.dataFlipped && !packed.empty()) packed[packed.size() / 2] ^= 0x10;
    std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    auto fields = [&](std::string& s, unsigned method, bool central) {
      Put16(s, 20);
      Put16(s, item.flags);
      Put16(s, method);
      Put32(s, 0x5A2C6000);
      // With a data descriptor (bit 3) the local header keeps no sizes.
      bool sizes = central || !(item.flags & 0x0008);
      Put32(s, sizes ? Crc(item.data) + (central ? item.dirCrcDelta : 0) : 0);
      Put32(s, sizes ? static_cast<std::uint32_t>(packed.size() + (central ? item.dirPackedDelta : 0)) : 0);
      Put32(s, sizes ? static_cast<std::uint32_t>(item.data.size() + (central ? item.dirSizeDelta : 0)) : 0);
      Put16(s, static_cast<unsigned>(item.name.size()));
    };
    Put32(out, item.localSignatureBroken ? 0x04034b51 : 0x04034b50);
    fields(out, item.localMethod >= 0 ? static_cast<unsigned>(item.localMethod) : item.method, false);
    Put16(out, item.localExtraLength >= 0 ? static_cast<unsigned>(item.localExtraLength) : 0);
    out += item.name + packed;
    if (item.flags & 0x0008) {
      Put32(out, 0x08074b50);
      Put32(out, Crc(item.data));
      Put32(out, static_cast<std::uint32_t>(packed.size()));
      Put32(out, static_cast<std::uint32_t>(item.data.size()));
    }
    Put32(dir, 0x02014b50);
    Put16(dir, 20);
    fields(dir, item.method, true);
    Put16(dir, 0);  // extra
    Put16(dir, 0);  // comment
    Put16(dir, 0);  // disk
    Put16(dir, 0);  // internal attributes
    Put32(dir, 0);  // external attributes
    Put32(dir, static_cast<std::uint32_t>(offset + item.dirOffsetDelta));
    dir += item.name;
  }
  std::uint32_t dirOffset = static_cast<std::uint32_t>(out.size());
  out += dir;
  PutZipEnd(out, items.size(), dir.size(), dirOffset);
  return out;
}

std::string Text(std::size_t size, unsigned seed = 1) {
  std::string s;
  s.reserve(size);
  std::uint32_t x = seed;
  while (s.size() < size) {
    x = x * 1103515245u + 12345u;
    s += "#WAV" + std::to_string(x >> 20) + " sound" + std::to_string(x % 97) + ".ogg\r\n";
  }
  s.resize(size);
  return s;
}

enum class Outcome { kData, kLeftToStreaming, kCrcError };

struct Read {
  Outcome outcome;
  std::string data;
  std::string message;
};

Read ReadWhole(const std::string& zip) {
  TempDir dir;
  std::string path = dir.Write("t.zip", zip);
  int fd = open(path.c_str(), O_RDONLY);
  EXPECT_GE(fd, 0);
  arc::ZipDirectory d = arc::ReadZipDirectory(fd, zip.size());
  EXPECT_EQ(d.entries.size(), 1u);
  arc::WholeEntryReader reader;
  Read r{Outcome::kLeftToStreaming, {}, {}};
  std::size_t pieces = 0;
  try {
    bool read = reader.Read(fd, zip.size(), d.entries.at(0), [&](const void* data, std::size_t size) {
      EXPECT_LE(size, arc::WholeEntryReader::kPiece);
      ++pieces;
      r.data.append(static_cast<const char*>(data), size);
      return true;
    });
    if (read) r.outcome = Outcome::kData;
    EXPECT_TRUE(read || pieces == 0);
  } catch (const arc::ArcError& e) {
    EXPECT_EQ(e.Code(), ERROR_FILE_CRC);
    r.outcome = Outcome::kCrcError;
    r.message = e.what();
  }
  close(fd);
  return r;
}

TEST(ZipEntryData, StoredAndDeflatedEntriesReadWhole) {
  struct Case {
    const char* what;
    Item item;
  } cases[] = {
      {"empty, stored", {"a.bms", "", 0}},
      {"empty, deflated", {"a.bms", "", 8}},
      {"small, stored", {"a.bms", Text(100), 0}},
      {"chart, deflated", {"a.bms", Text(90000), 8}},
      {"several pieces, deflated", {"a.ogg", Text(3u << 20, 7), 8}},
      {"several pieces, stored", {"a.ogg", Text((2u << 20) + 5, 9), 0}},
      {"sizes in a data descriptor", {"a.bms", Text(5000), 8, 0x0008}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Read r = ReadWhole(ZipOf({c.item}));
    EXPECT_EQ(r.outcome, Outcome::kData);
    EXPECT_TRUE(r.data == c.item.data);
    // The reader as a whole gives the same bytes.
    TempDir dir;
    auto reader = arc::OpenZipReader(dir.Write("t.zip", ZipOf({c.item})));
    auto entries = ReadAllEntries(*reader);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].data == c.item.data);
  }
}

TEST(ZipEntryData, EntriesThatDoNotAddUpAreLeftToStreamingOrFail) {
  const std::string chart = Text(20000);
  auto deflated = [&] { return Item{"a.bms", chart, 8}; };
  struct Case {
    const char* what;
    Item item;
    Outcome whole;
    Outcome orElse = whole;  // damaged data may still inflate, to the wrong CRC
  } cases[] = {
      {"CRC off", [&] { Item i = deflated(); i.dirCrcDelta = 1; return i; }(), Outcome::kCrcError},
      {"stored CRC off", [&] { Item i = deflated(); i.method = 0; i.dirCrcDelta = 5; return i; }(), Outcome::kCrcError},
      {"data flipped", [&] { Item i = deflated(); i.dataFlipped = true; return i; }(), Outcome::kLeftToStreaming,
       Outcome::kCrcError},
      {"declared size too small", [&] { Item i = deflated(); i.dirSizeDelta = -1; return i; }(), Outcome::kLeftToStreaming},
      {"declared size too large", [&] { Item i = deflated(); i.dirSizeDelta = 1; return i; }(), Outcome::kLeftToStreaming},
      {"compressed size past the end", [&] { Item i = deflated(); i.dirPackedDelta = 1 << 20; return i; }(),
       Outcome::kLeftToStreaming},
      {"compressed size short", [&] { Item i = deflated(); i.dirPackedDelta = -100; return i; }(), Outcome::kLeftToStreaming},
      // Stored data is its packed bytes; the extraction stops what passes
      // the declared size.
      {"stored sizes differ", [&] { Item i = deflated(); i.method = 0; i.dirSizeDelta = -1; return i; }(),
       Outcome::kData},
      {"local method differs", [&] { Item i = deflated(); i.localMethod = 0; return i; }(), Outcome::kLeftToStreaming},
      {"local extra runs past the end", [&] { Item i = deflated(); i.localExtraLength = 0xFFFF; return i; }(),
       Outcome::kLeftToStreaming},
      {"local extra shifts the data", [&] { Item i = deflated(); i.localExtraLength = 7; return i; }(),
       Outcome::kLeftToStreaming},
      {"no local header there", [&] { Item i = deflated(); i.localSignatureBroken = true; return i; }(),
       Outcome::kLeftToStreaming},
      {"offset inside the header", [&] { Item i = deflated(); i.dirOffsetDelta = 3; return i; }(), Outcome::kLeftToStreaming},
      {"encrypted", [&] { Item i = deflated(); i.flags = 1; return i; }(), Outcome::kLeftToStreaming},
      {"another method", [&] { Item i = deflated(); i.method = 12; i.localMethod = 12; return i; }(),
       Outcome::kLeftToStreaming},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string zip = ZipOf({c.item});
    Read r = ReadWhole(zip);
    EXPECT_TRUE(r.outcome == c.whole || r.outcome == c.orElse);
    if (r.outcome == Outcome::kCrcError) {
      EXPECT_EQ(r.message.rfind("bad CRC: 0x", 0), 0u) << r.message;
    }
    // Through the reader, each is an error or reads the very data that was
    // packed: nothing wrong is handed out as sound.
    TempDir dir;
    std::string path = dir.Write("t.zip", zip);
    std::string got;
    int code = ErrorCodeOf([&] {
      auto reader = arc::OpenZipReader(path);
      arc::EntryInfo info;
      while (reader->Next(info)) got += ReadCurrentData(*reader);
    });
    EXPECT_TRUE(code != 0 || got == c.item.data) << "read " << got.size() << " bytes";
  }
}

TEST(ZipEntryData, AStoppedEntryLeavesTheNextOneWhole) {
  std::vector<Item> items = {{"a.ogg", Text(3u << 20, 3), 8}, {"b.bms", Text(40000, 4), 8}, {"c.bms", Text(10, 5), 0}};
  TempDir dir;
  auto reader = arc::OpenZipReader(dir.Write("t.zip", ZipOf(items)));
  arc::EntryInfo info;
  ASSERT_TRUE(reader->Next(info));
  std::size_t pieces = 0, got = 0;
  reader->ReadData([&](const void*, std::size_t size) {
    ++pieces;
    got += size;
    return false;
  });
  EXPECT_EQ(pieces, 1u);
  EXPECT_LT(got, items[0].data.size());
  for (std::size_t i = 1; i < items.size(); ++i) {
    ASSERT_TRUE(reader->Next(info));
    EXPECT_EQ(info.name, items[i].name);
    EXPECT_TRUE(ReadCurrentData(*reader) == items[i].data);
  }
  EXPECT_FALSE(reader->Next(info));
}

TEST(ZipEntryData, OnlyBoundedStoredOrDeflatedPlainEntriesSuit) {
  arc::ZipDirEntry d;
  d.method = 8;
  d.size = arc::kWholeEntryLimit;
  d.compressedSize = 1000;
  EXPECT_TRUE(arc::SuitsWholeRead(d));
  d.size = arc::kWholeEntryLimit + 1;
  EXPECT_FALSE(arc::SuitsWholeRead(d));
  d.size = 10;
  d.compressedSize = arc::kWholeEntryLimit + 1;
  EXPECT_FALSE(arc::SuitsWholeRead(d));
  d.compressedSize = 10;
  d.flags = 0x0040;
  EXPECT_FALSE(arc::SuitsWholeRead(d));
  d.flags = 0;
  d.method = 9;
  EXPECT_FALSE(arc::SuitsWholeRead(d));
  d.method = 0;
  EXPECT_TRUE(arc::SuitsWholeRead(d));
  // Stored data is its packed bytes whatever size the record claims.
  d.size = ~0ull;
  EXPECT_TRUE(arc::SuitsWholeRead(d));
  d.compressedSize = arc::kWholeEntryLimit + 1;
  EXPECT_FALSE(arc::SuitsWholeRead(d));
}

TEST(ZipEntryData, EntriesAboveTheBoundStillStream) {
  std::string zeros(static_cast<std::size_t>(arc::kWholeEntryLimit) + 1, '\0');
  TempDir dir;
  auto reader = arc::OpenZipReader(dir.Write("t.zip", ZipOf({{"big.wav", zeros, 8}})));
  auto entries = ReadAllEntries(*reader);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].data == zeros);
}

}  // namespace
