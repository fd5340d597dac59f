// SPDX-License-Identifier: MIT
// Extended (pax) headers whose records libarchive misreads: a record with
// an empty key (libarchive gave up the whole archive) or an empty value
// ("size=" read as zero lost the entry's data). Read plain and behind each
// compression layer, and against 7zz where it is installed.
#include <gtest/gtest.h>

#include <cstdio>

#include "archivers/tar/pax_record_filter.h"
#include "archivers/tar/tar_format.h"
#include "tests/formats/format_fixture.h"

using namespace fmt_test;

namespace {

std::string Padded(std::string s) {
  s.resize((s.size() + 511) / 512 * 512, '\0');
  return s;
}

std::string Header(const std::string& name, std::size_t size, char type, std::time_t mtime = 1600000000) {
  std::string h(512, '\0');
  h.replace(0, name.size(), name);
  auto put = [&](std::size_t at, std::size_t width, unsigned long long v) {
    char field[24];
    std::snprintf(field, sizeof field, "%0*llo", static_cast<int>(width - 1), v);
    h.replace(at, width - 1, field);
  };
  put(100, 8, 0644);
  put(108, 8, 0);
  put(116, 8, 0);
  put(124, 12, size);
  put(136, 12, static_cast<unsigned long long>(mtime));
  h[156] = type;
  h.replace(257, 6, std::string("ustar\0", 6));
  h.replace(263, 2, "00");
  h.replace(148, 8, "        ");
  unsigned sum = 0;
  for (unsigned char c : h) sum += c;
  put(148, 7, sum);
  return h;
}

std::string Record(const std::string& key, const std::string& value) {
  std::string body = " " + key + "=" + value + "\n";
  std::size_t n = body.size() + 1;
  while (std::to_string(n).size() + body.size() != n) ++n;
  return std::to_string(n) + body;
}

std::string Extended(const std::string& records) { return Header("PaxHeaders/x", records.size(), 'x') + Padded(records); }

std::string File(const std::string& name, const std::string& data, std::size_t sizeField) {
  return Header(name, sizeField, '0') + Padded(data);
}

std::string Tar(const std::string& body) {
  std::string t = body + std::string(1024, '\0');
  t.resize((t.size() + 10239) / 10240 * 10240, '\0');
  return t;
}

const std::string kA = "#TITLE a\r\n";
const std::string kB = "#TITLE b\r\n";

struct Case {
  const char* what;
  std::string tar;
  bool sevenZipAgrees = true;
};

std::vector<Case> Cases() {
  return {
      {"EmptyKey", Tar(Extended(Record("", "x")) + File("a.bms", kA, kA.size()) + File("b.bms", kB, kB.size()))},
      {"EmptySizeAndMtime",
       Tar(Extended(Record("size", "") + Record("mtime", "")) + File("a.bms", kA, kA.size()) + File("b.bms", kB, kB.size()))},
      // 7-Zip takes an empty path for no name at all.
      {"EmptyValuesBesideGoodOnes",
       Tar(Extended(Record("path", "") + Record("uname", "me") + Record("size", "")) + File("a.bms", kA, kA.size()) +
           File("b.bms", kB, kB.size())),
       false},
      // The first entry's length is only in its extended header: the
      // second header must still be found to be cleaned.
      {"SizeFromExtendedHeaderThenAnEmptyKey",
       Tar(Extended(Record("size", std::to_string(kA.size()))) + File("a.bms", kA, 0) + Extended(Record("", "")) +
           File("b.bms", kB, kB.size()))},
  };
}

class PaxRecords : public ::testing::TestWithParam<Case> {};

TEST_P(PaxRecords, EveryEntryComesWholeUnderEachLayer) {
  TempDir dir;
  dir.Write("t.tar", GetParam().tar);
  ASSERT_EQ(Shell(dir.Path(), "gzip -k t.tar && xz -k t.tar && zstd -q t.tar"), 0);
  for (const char* name : {"t.tar", "t.tar.gz", "t.tar.xz", "t.tar.zst"}) {
    SCOPED_TRACE(name);
    std::vector<ReadEntry> entries;
    EXPECT_EQ(ErrorCodeOf([&] {
                auto reader = arc::OpenTarReader(dir.Path() + name);
                entries = ReadAllEntries(*reader);
              }),
              0);
    EXPECT_EQ(FilesOf(entries), (std::map<std::string, std::string>{{"a.bms", kA}, {"b.bms", kB}}));
    // An empty mtime leaves the header's.
    for (const ReadEntry& e : entries) EXPECT_EQ(e.info.mtime, 1600000000) << e.info.name;
  }
  if (GetParam().sevenZipAgrees && HaveTool("7zz")) {  // the reference reads the records as we do
    ASSERT_EQ(Shell(dir.Path(), "mkdir ref && cd ref && 7zz x -bso0 -bsp0 ../t.tar"), 0);
    EXPECT_EQ(FilesUnder(dir.Path() + "ref"), (std::map<std::string, std::string>{{"a.bms", kA}, {"b.bms", kB}}));
  }
}

INSTANTIATE_TEST_SUITE_P(Tar, PaxRecords, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(PaxRecords, ListingWithoutDataSkipsToEachHeader) {
  TempDir dir;
  std::string big = NoiseBytes(3 << 20, 5);
  dir.Write("t.tar", Tar(File("big.wav", big, big.size()) + Extended(Record("", "")) + File("a.bms", kA, kA.size()) +
                         File("b.bms", kB, kB.size())));
  auto reader = arc::OpenTarReader(dir.Path() + "t.tar");
  std::vector<std::string> names;
  arc::EntryInfo info;
  while (reader->Next(info)) names.push_back(info.name);
  EXPECT_EQ(names, (std::vector<std::string>{"big.wav", "a.bms", "b.bms"}));
}

TEST(PaxRecords, OldGnuSparseExtensionBlocksKeepTheFilterInStep) {
  TempDir dir;
  // More regions than the header holds: extension blocks follow it. The
  // file ends in data, so the archive's last block before its end mark is
  // not all zeros.
  ASSERT_EQ(Shell(dir.Path(), "mkdir src && truncate -s 4M src/s.wav && for i in 1 2 3 4 5 6 7 8 10; do "
                              "printf D$i | dd of=src/s.wav bs=1 seek=$((i * 419000)) conv=notrunc status=none; done && "
                              "tar --sparse --format=oldgnu -cf s.tar -C src s.wav"),
            0);
  std::string gnu = ReadBytes(dir.Path() + "s.tar");
  while (gnu.size() >= 512 && gnu.compare(gnu.size() - 512, 512, std::string(512, '\0')) == 0) gnu.resize(gnu.size() - 512);
  dir.Write("t.tar", Tar(gnu + Extended(Record("size", "")) + File("a.bms", kA, kA.size())));
  auto reader = arc::OpenTarReader(dir.Path() + "t.tar");
  auto files = FilesOf(ReadAllEntries(*reader));
  EXPECT_EQ(files["a.bms"], kA);
  EXPECT_TRUE(files["s.wav"] == ReadBytes(dir.Path() + "src/s.wav"));
}

TEST(PaxRecords, CleaningKeepsSoundRecordsAndLeavesMalformedOnesToLibarchive) {
  struct Row {
    std::string in, out;
  };
  const Row rows[] = {
      {Record("path", "a") + Record("size", "10"), Record("path", "a") + Record("size", "10")},
      {Record("", "v") + Record("path", "a"), Record("path", "a")},
      {Record("mtime", "") + Record("path", "a") + Record("size", ""), Record("path", "a")},
      {Record("size", ""), ""},
      // From a bad length on, the rest is passed as it is.
      {Record("size", "") + "99 path=a\n", "99 path=a\n"},
      {std::string(512, '\0'), std::string(512, '\0')},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(arc::PaxRecordFilter::CleanRecords(row.in), row.out) << row.in;
}

}  // namespace
