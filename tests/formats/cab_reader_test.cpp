// SPDX-License-Identifier: MIT
// The CAB reader against cabinets made by gcab, with cabextract as the
// reference extractor.
#include <gtest/gtest.h>

#include "archiver_api.h"
#include "platform/cp932.h"
#include "tests/formats/cab_reserve.h"
#include "tests/formats/format_fixture.h"
#include "archivers/cab/cab_format.h"

using namespace fmt_test;

namespace {

struct SourceFile {
  std::string fsName;  // as gcab is given it (UTF-8)
  std::string data;
};

std::vector<SourceFile> SampleFiles() {
  return {
      {"sub/big.txt", SampleText(300000, 11)},  // spans many 32 KiB data blocks
      {"a.bms", SampleText(4000, 12)},
      {"noise.bin", NoiseBytes(60000, 13)},
      {"\xE6\x9B\xB2.bms", SampleText(100, 14)},  // "曲.bms", stored flagged as UTF-8
      {"empty.txt", ""},
  };
}

// The names the reader must give: CP932, "/" between folders.
std::map<std::string, std::string> Expected(const std::vector<SourceFile>& files) {
  std::map<std::string, std::string> m;
  for (const auto& f : files) m[platform::Utf8ToCp932(f.fsName)] = f.data;
  return m;
}

std::string MakeCab(const TempDir& dir, const std::vector<SourceFile>& files, const std::string& options) {
  std::string list;
  for (const auto& f : files) {
    dir.Write("src/" + f.fsName, f.data);
    list += " '" + f.fsName + "'";
  }
  if (Shell(dir.Path() + "src", "gcab -c " + options + " ../t.cab" + list) != 0) return {};
  return dir.Path() + "t.cab";
}

// Reader output with names as the file system would hold them.
std::map<std::string, std::string> InUtf8(const std::map<std::string, std::string>& files) {
  std::map<std::string, std::string> m;
  for (const auto& [name, data] : files) m[platform::Cp932ToUtf8(name)] = data;
  return m;
}

struct Layout {
  const char* what;
  const char* gcabOptions;
  bool reserve;
  const char* method;
};

class CabLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(CabLayouts, ReadsWhatGcabPackedAndCabextractExtracts) {
  if (!HaveTool("gcab")) GTEST_SKIP() << "gcab not installed";
  TempDir dir;
  auto files = SampleFiles();
  std::string path = MakeCab(dir, files, GetParam().gcabOptions);
  ASSERT_FALSE(path.empty());
  if (GetParam().reserve) {
    std::string withReserve = AddCabReserve(ReadBytes(path));
    ASSERT_FALSE(withReserve.empty());
    WriteBytes(path, withReserve);
  }

  auto entries = ReadAllEntries(*arc::OpenCabReader(path));
  EXPECT_EQ(FilesOf(entries), Expected(files));
  for (const auto& e : entries) {
    EXPECT_EQ(e.info.method, GetParam().method) << e.info.name;
    EXPECT_FALSE(e.info.nameIsUtf8);
    EXPECT_NE(e.info.mtime, 0);
  }

  if (HaveTool("cabextract")) {
    ASSERT_EQ(Shell(dir.Path(), "cabextract -q -d ref t.cab"), 0);
    EXPECT_EQ(InUtf8(FilesOf(entries)), FilesUnder(dir.Path() + "ref"));
  }
}

INSTANTIATE_TEST_SUITE_P(Gcab, CabLayouts,
                         ::testing::Values(Layout{"stored", "", false, "None"},
                                           Layout{"mszip", "-z", false, "MSZIP"},
                                           Layout{"stored_reserve", "", true, "None"},
                                           Layout{"mszip_reserve", "-z", true, "MSZIP"}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(CabReader, NamesWithoutTheUtf8FlagAreCp932) {
  if (!HaveTool("gcab")) GTEST_SKIP() << "gcab not installed";
  TempDir dir;
  // gcab writes ASCII names unflagged; the placeholder is then replaced by
  // "表" (0x95 0x5C), whose second byte must not split the name.
  std::string path = MakeCab(dir, {{"XX/XX.bms", "data"}}, "");
  ASSERT_FALSE(path.empty());
  std::string cab = ReadBytes(path);
  std::size_t at = cab.find("XX\\XX.bms");
  ASSERT_NE(at, std::string::npos);
  cab.replace(at, 9, "\x95\x5C\\\x95\x5C.bms");
  WriteBytes(path, cab);

  auto entries = ReadAllEntries(*arc::OpenCabReader(path));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].info.name, "\x95\x5C/\x95\x5C.bms");
  EXPECT_FALSE(entries[0].info.nameIsUtf8);
  EXPECT_EQ(entries[0].data, "data");
}

TEST(CabReader, Utf8NameOutsideCp932StaysUtf8AndSaysSo) {
  if (!HaveTool("gcab")) GTEST_SKIP() << "gcab not installed";
  TempDir dir;
  std::string path = MakeCab(dir, {{"\xC3\xB1.bms", "x"}}, "");  // "ñ.bms"
  ASSERT_FALSE(path.empty());
  auto entries = ReadAllEntries(*arc::OpenCabReader(path));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].info.nameIsUtf8);
  EXPECT_EQ(entries[0].info.name, "\xC3\xB1.bms");
}

// A cabinet of the sample files (MSZIP) and its reader on the first entry.
class CabReaderOnSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool("gcab")) GTEST_SKIP() << "gcab not installed";
    path = MakeCab(dir, files, "-z");
    ASSERT_FALSE(path.empty());
    reader = arc::OpenCabReader(path);
    ASSERT_TRUE(reader->Next(info));
  }
  TempDir dir;
  std::vector<SourceFile> files = SampleFiles();
  std::string path;
  std::unique_ptr<arc::ArchiveReader> reader;
  arc::EntryInfo info;
};

TEST_F(CabReaderOnSamples, StoppingEarlyOrSkippingLeavesLaterEntriesIntact) {
  // sub/big.txt: stop after the first piece
  std::string head;
  reader->ReadData([&](const void* p, std::size_t n) {
    head.append(static_cast<const char*>(p), n);
    return false;
  });
  EXPECT_LT(head.size(), files[0].data.size());
  EXPECT_EQ(head, files[0].data.substr(0, head.size()));
  ASSERT_TRUE(reader->Next(info));  // a.bms: skipped unread
  ASSERT_TRUE(reader->Next(info));  // noise.bin
  EXPECT_EQ(ReadCurrentData(*reader), files[2].data);
}

// An early stop reopens the cabinet; when the file is gone by then, the
// reader fails and keeps failing instead of walking the freed file list.
TEST_F(CabReaderOnSamples, CabinetReplacedDuringAnEarlyStopFailsFromThenOn) {
  EXPECT_NE(ErrorCodeOf([&] {
              reader->ReadData([&](const void*, std::size_t) {
                WriteBytes(path, "no longer a cabinet");
                return false;
              });
            }),
            0);
  EXPECT_EQ(ErrorCodeOf([&] { reader->Next(info); }), ERROR_ARC_FILE_OPEN);
  EXPECT_EQ(ErrorCodeOf([&] { reader->Next(info); }), ERROR_ARC_FILE_OPEN);
}

TEST(CabReader, DamagedBlockFailsItsChecksum) {
  if (!HaveTool("gcab")) GTEST_SKIP() << "gcab not installed";
  TempDir dir;
  std::string path = MakeCab(dir, {{"a.bms", SampleText(20000, 15)}}, "-z");
  ASSERT_FALSE(path.empty());
  std::string cab = ReadBytes(path);
  cab[cab.size() - 100] ^= 0x10;
  WriteBytes(path, cab);
  EXPECT_EQ(ReadErrorCode(arc::OpenCabReader, path), ERROR_FILE_CRC);
}

TEST(CabReader, OpenRefusesWhatIsNoCabinet) {
  TempDir dir;
  EXPECT_EQ(ErrorCodeOf([&] { arc::OpenCabReader(dir.Write("x.cab", "plain text, no cabinet")); }),
            ERROR_NOT_ARC_FILE);
  EXPECT_EQ(ErrorCodeOf([&] { arc::OpenCabReader(dir.Write("e.cab", "")); }), ERROR_NOT_ARC_FILE);
  EXPECT_EQ(ErrorCodeOf([&] { arc::OpenCabReader(dir.Path() + "missing.cab"); }), ERROR_ARC_FILE_OPEN);
}

}  // namespace
