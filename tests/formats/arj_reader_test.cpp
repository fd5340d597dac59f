// SPDX-License-Identifier: MIT
// The ARJ reader against archives made by the arj program and extracted by
// it as the reference.
#include <gtest/gtest.h>

#include <filesystem>
#include <zlib.h>

#include "archiver_api.h"
#include "tests/formats/format_fixture.h"
#include "archivers/arj/arj_format.h"

using namespace fmt_test;

namespace {

// "表" (0x95 0x5C) ends in the byte of "\"; "曲" is 0x8B 0xC8.
const std::string kHyou = "\x95\x5C";
const std::string kKyoku = "\x8B\xC8";

// Source files, names as CP932 bytes on disk, as arj stores them.
std::map<std::string, std::string> SampleTree() {
  return {
      {"a.bms", SampleText(5000, 1)},
      {"sub/deep/big.bin", SampleText(300000, 2)},  // several windows and blocks
      {"noise.bin", NoiseBytes(40000, 3)},
      {"empty.txt", ""},
      {kHyou + kKyoku + ".bms", SampleText(700, 4)},
  };
}

// Every source file's modification time.
constexpr std::time_t kStamp = 1709618828;  // 2024-03-05 06:07:08 UTC

bool MakeArj(const TempDir& dir, const std::map<std::string, std::string>& files, const std::string& options) {
  for (const auto& [name, data] : files) {
    dir.Write("src/" + name, data);
    if (Shell(dir.Path() + "src", "touch -d @" + std::to_string(kStamp) + " '" + name + "'") != 0) return false;
  }
  return Shell(dir.Path() + "src", "arj a -r -y " + options + " ../t.arj '*'") == 0;
}

class ArjMethods : public ::testing::TestWithParam<int> {};

TEST_P(ArjMethods, ReadsWhatArjPackedAndExtracts) {
  if (!HaveTool("arj")) GTEST_SKIP() << "arj not installed";
  TempDir dir;
  auto tree = SampleTree();
  ASSERT_TRUE(MakeArj(dir, tree, "-m" + std::to_string(GetParam())));

  auto reader = arc::OpenArjReader(dir.Path() + "t.arj");
  auto entries = ReadAllEntries(*reader);
  EXPECT_EQ(FilesOf(entries), tree);

  ASSERT_EQ(Shell(dir.Path(), "mkdir ref && cd ref && arj x -y ../t.arj"), 0);
  EXPECT_EQ(FilesOf(entries), FilesUnder(dir.Path() + "ref"));

  // The method shows, and a compressing method really was exercised.
  bool sawMethod = false;
  for (const auto& e : entries) {
    if (e.info.name == "sub/deep/big.bin") {
      EXPECT_EQ(e.info.method, "-m" + std::to_string(GetParam()) + "-");
      sawMethod = true;
      EXPECT_EQ(e.info.crc, crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), e.data.size()));
      // arj stamps the file's own modification time.
      EXPECT_EQ(e.info.mtime, kStamp);
    }
  }
  EXPECT_TRUE(sawMethod);
}

INSTANTIATE_TEST_SUITE_P(AllMethods, ArjMethods, ::testing::Values(0, 1, 2, 3, 4));

TEST(ArjReader, ListingWithoutReadingAndStoppingEarlyKeepLaterEntriesIntact) {
  if (!HaveTool("arj")) GTEST_SKIP() << "arj not installed";
  TempDir dir;
  auto tree = SampleTree();
  ASSERT_TRUE(MakeArj(dir, tree, "-m1"));
  auto reader = arc::OpenArjReader(dir.Path() + "t.arj");
  arc::EntryInfo info;
  std::map<std::string, std::string> seen;
  int index = 0;
  while (reader->Next(info)) {
    if (index++ % 2 == 0) continue;  // every other entry is skipped unread
    std::string data;
    bool stop = info.name == "sub/deep/big.bin";
    reader->ReadData([&](const void* p, std::size_t n) {
      data.append(static_cast<const char*>(p), n);
      return !stop;
    });
    if (stop) {
      EXPECT_LT(data.size(), tree[info.name].size());
      EXPECT_EQ(data, tree[info.name].substr(0, data.size()));
    } else {
      seen[info.name] = data;
    }
  }
  EXPECT_EQ(index, 5);
  for (const auto& [name, data] : seen) EXPECT_EQ(data, tree[name]) << name;
}

// Entries the reader lists but cannot unpack: encrypted, or split across
// volumes whose later volume is not there.
TEST(ArjReader, EncryptedOrSplitEntryIsListedButRefused) {
  if (!HaveTool("arj")) GTEST_SKIP() << "arj not installed";
  struct Case {
    const char* what;
    std::map<std::string, std::string> files;
    const char* options;
    bool encrypted;
    int code;
  } cases[] = {
      {"encrypted", {{"a.bms", SampleText(3000, 5)}}, "-gsecret", true, ERROR_PASSWORD_FILE},
      {"split, later volume gone", {{"n.bin", NoiseBytes(100000, 6)}}, "-v30k", false, ERROR_UNEXPECTED_EOF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ASSERT_TRUE(MakeArj(dir, c.files, c.options));
    std::filesystem::remove(dir.Path() + "t.a01");
    auto reader = arc::OpenArjReader(dir.Path() + "t.arj");
    arc::EntryInfo info;
    ASSERT_TRUE(reader->Next(info));
    EXPECT_EQ(info.encrypted, c.encrypted);
    EXPECT_EQ(DataErrorCode(*reader), c.code);
    if (c.code == ERROR_UNEXPECTED_EOF)
      EXPECT_THROW(reader->Next(info), arc::ArcError);  // the set goes on in the missing volume
    else
      EXPECT_FALSE(reader->Next(info));
  }
}

// Archives from DOS keep "\" between folders and lack the flag that says
// "/" is used. Rewrites arj's header that way and fixes its CRC.
std::string AsDosArchive(std::string arj, const std::string& unixName, const std::string& dosName) {
  std::size_t at = arj.find(unixName);
  std::size_t header = arj.rfind(std::string("\x60\xEA", 2), at);
  if (at == std::string::npos || header == std::string::npos) return {};
  arj.replace(at, dosName.size(), dosName);
  std::size_t size = static_cast<unsigned char>(arj[header + 2]) | static_cast<unsigned char>(arj[header + 3]) << 8;
  arj[header + 4 + 4] &= ~0x10;  // flags
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(arj.data() + header + 4), size);
  for (int i = 0; i < 4; ++i) arj[header + 4 + size + i] = static_cast<char>(crc >> (8 * i));
  return arj;
}

TEST(ArjReader, DosSeparatorsBecomeSlashesButNotInsideDoubleByteCharacters) {
  if (!HaveTool("arj")) GTEST_SKIP() << "arj not installed";
  TempDir dir;
  std::string data = SampleText(200, 7);
  ASSERT_TRUE(MakeArj(dir, {{kHyou + "/" + kHyou + ".bms", data}}, ""));
  std::string dos = AsDosArchive(ReadBytes(dir.Path() + "t.arj"), kHyou + "/" + kHyou, kHyou + "\\" + kHyou);
  ASSERT_FALSE(dos.empty());
  std::string path = dir.Write("dos.arj", dos);
  auto entries = ReadAllEntries(*arc::OpenArjReader(path));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].info.name, kHyou + "/" + kHyou + ".bms");
  EXPECT_EQ(entries[0].data, data);
}

TEST(ArjReader, OpenRefusesWhatIsNoArjArchive) {
  TempDir dir;
  struct Case {
    const char* what;
    std::string bytes;
    int code;
  } cases[] = {
      {"empty", "", ERROR_NOT_ARC_FILE},
      {"text", "just some text that is no archive", ERROR_NOT_ARC_FILE},
      {"id only", std::string("\x60\xEA", 2), ERROR_UNEXPECTED_EOF},
      {"oversized header", std::string("\x60\xEA\xFF\xFF", 4) + std::string(100, 'x'), ERROR_HEADER_BROKEN},
      {"exe without archive", "MZ" + NoiseBytes(5000, 8), ERROR_NOT_ARC_FILE},
  };
  for (const auto& c : cases) {
    std::string path = dir.Write("x.arj", c.bytes);
    EXPECT_EQ(ErrorCodeOf([&] { arc::OpenArjReader(path); }), c.code) << c.what;
  }
  EXPECT_EQ(ErrorCodeOf([&] { arc::OpenArjReader(dir.Path() + "missing.arj"); }), ERROR_ARC_FILE_OPEN);
}

TEST(ArjReader, FindsTheArchiveBehindAnExecutableStub) {
  if (!HaveTool("arj")) GTEST_SKIP() << "arj not installed";
  TempDir dir;
  ASSERT_TRUE(MakeArj(dir, {{"a.bms", SampleText(900, 9)}}, ""));
  std::string stub = "MZ" + std::string(3000, '\0') + "\x60\xEA junk";
  std::string path = dir.Write("sfx.exe", stub + ReadBytes(dir.Path() + "t.arj"));
  auto entries = ReadAllEntries(*arc::OpenArjReader(path));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].data, SampleText(900, 9));
}

}  // namespace
