// SPDX-License-Identifier: MIT
// The LZH reader's compressed entries: -lh5- to -lh7- at every header level
// as jlha packs them, damage in their data and in their CRC, and entries
// left unselected, which must not be decoded at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>

#include "archiver_api.h"
#include "archivers/lzh/crc16.h"
#include "archivers/lzh/lzh_archive_scan.h"
#include "archivers/lzh/lzh_entry_writer.h"
#include "archivers/shared/le_bytes.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/arc_library.h"
#include "archivers/lzh/lzh_format.h"

using namespace fmt_test;

namespace {

constexpr std::time_t kStamp = 1709618828;

std::map<std::string, std::string> SampleTree() {
  return {
      {"a.bms", SampleText(5000, 1)},
      {"big.wav", SampleText(400000, 2)},  // several blocks, and past the lh5 window
      {"noise.ogg", NoiseBytes(40000, 3)},
      {"empty.txt", ""},
      {"sub/c.bms", SampleText(700, 4)},
  };
}

// jlha packs the tree with method -lh<method>- and the given header level.
std::string PackWithJlha(const TempDir& dir, const std::map<std::string, std::string>& files, int method, int level) {
  std::string names;
  for (const auto& [name, data] : files) {
    dir.Write("src/" + name, data);
    names += " " + ShellQuote(name);
  }
  std::string options = std::to_string(level) + "o" + std::to_string(method);
  if (Shell(dir.Path() + "src", "jlha a" + options + " ../t.lzh" + names) != 0) return "";
  return dir.Path() + "t.lzh";
}

std::vector<arc::LzhRawEntry> Layout(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  auto entries = arc::ScanLzhArchive(fd, ReadBytes(path).size());
  close(fd);
  return entries;
}

// An archive as the writer makes it: level 2 headers, -lh5- where it shrinks.
std::string Lh5Archive(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string out;
  for (const auto& [name, data] : files)
    out += arc::MakeLzhEntry(name, false, kStamp, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  return out + arc::kLzhArchiveEnd;
}

// Overwrites part of an entry's packed data (the middle of the entry, well
// after its header) with bytes no encoder wrote.
void DamageData(std::string& archive, const arc::LzhRawEntry& e) {
  std::size_t at = static_cast<std::size_t>(e.offset + e.length / 2);
  for (std::size_t i = 0; i < 64; ++i) archive[at + i] = static_cast<char>(0xA5 ^ (i * 37));
}

// Gives a level 2 entry another data CRC, with its header CRC made right.
void SetDataCrc(std::string& archive, std::size_t entry, std::uint16_t crc) {
  auto* p = reinterpret_cast<std::uint8_t*>(&archive[entry]);
  ASSERT_EQ(p[20], 2);
  p[21] = static_cast<std::uint8_t>(crc);
  p[22] = static_cast<std::uint8_t>(crc >> 8);
  std::size_t headerLen = arc::Le16(p);
  std::size_t crcAt = 0;
  for (std::size_t at = 24, size; at + 2 <= headerLen; at += size) {
    size = arc::Le16(p + at);
    if (size == 0) break;
    if (p[at + 2] == 0x00) crcAt = at + 3;
  }
  ASSERT_NE(crcAt, 0u);
  p[crcAt] = p[crcAt + 1] = 0;
  std::uint16_t headerCrc = arc::Crc16Update(0, p, headerLen);
  p[crcAt] = static_cast<std::uint8_t>(headerCrc);
  p[crcAt + 1] = static_cast<std::uint8_t>(headerCrc >> 8);
}

struct Packing {
  int method;
  int level;
};

class LzhPacked : public ::testing::TestWithParam<Packing> {
 protected:
  void SetUp() override {
    if (!HaveTool("jlha")) GTEST_SKIP() << "jlha not installed";
  }
  std::string Method() const { return "-lh" + std::to_string(GetParam().method) + "-"; }
};

TEST_P(LzhPacked, ReadsEveryEntryAsPacked) {
  TempDir dir;
  auto tree = SampleTree();
  std::string path = PackWithJlha(dir, tree, GetParam().method, GetParam().level);
  ASSERT_FALSE(path.empty());
  auto entries = ReadAllEntries(*arc::OpenLzhReader(path));
  EXPECT_EQ(FilesOf(entries), tree);
  bool packed = false;
  for (const auto& e : entries)
    if (e.info.name == "big.wav") packed = e.info.method == Method();
  EXPECT_TRUE(packed) << "big.wav not packed with " << Method();
}

// Damaged data ends its entry with an error; the entries after it still
// come out right.
TEST_P(LzhPacked, DamagedEntryFailsAndTheNextStillReads) {
  TempDir dir;
  auto tree = SampleTree();
  std::string path = PackWithJlha(dir, tree, GetParam().method, GetParam().level);
  ASSERT_FALSE(path.empty());
  std::string bytes = ReadBytes(path);
  for (const auto& e : Layout(path))
    if (e.name == "big.wav") DamageData(bytes, e);
  std::string damaged = dir.Write("bad.lzh", bytes);

  auto reader = arc::OpenLzhReader(damaged);
  arc::EntryInfo info;
  bool sawDamage = false;
  while (reader->Next(info)) {
    std::string data;
    int code = ErrorCodeOf([&] {
      reader->ReadData([&](const void* p, std::size_t n) {
        data.append(static_cast<const char*>(p), n);
        return true;
      });
    });
    if (info.name == "big.wav") {
      EXPECT_TRUE(code == ERROR_FILE_CRC || code == ERROR_BROKEN_DATA) << code;
      sawDamage = true;
    } else if (!info.isDirectory) {
      EXPECT_EQ(code, 0) << info.name;
      EXPECT_EQ(data, tree[info.name]) << info.name;
    }
  }
  EXPECT_TRUE(sawDamage);
}

INSTANTIATE_TEST_SUITE_P(MethodsAndLevels, LzhPacked,
                         ::testing::Values(Packing{5, 0}, Packing{5, 1}, Packing{5, 2}, Packing{6, 1}, Packing{7, 2}),
                         [](const auto& info) {
                           return "lh" + std::to_string(info.param.method) + "_level" + std::to_string(info.param.level);
                         });

// A level 1 header whose reserved byte is not 0x20 is no LZH header to
// libarchive; liblhasa reads it, so such entries are decoded by liblhasa
// and the ones around them still by libarchive.
TEST(LzhFallback, EntriesLibarchiveRefusesComeFromLiblhasa) {
  if (!HaveTool("jlha")) GTEST_SKIP() << "jlha not installed";
  TempDir dir;
  auto tree = SampleTree();
  std::string path = PackWithJlha(dir, tree, 5, 1);
  ASSERT_FALSE(path.empty());
  std::string bytes = ReadBytes(path);
  for (const auto& e : Layout(path)) {
    if (e.name != "big.wav" && e.name != "a.bms") continue;
    auto* p = reinterpret_cast<std::uint8_t*>(&bytes[e.offset]);
    ASSERT_EQ(p[20], 1);
    p[19] = 0x21;
    std::uint8_t sum = 0;
    for (std::size_t i = 2; i < p[0] + 2u; ++i) sum = static_cast<std::uint8_t>(sum + p[i]);
    p[1] = sum;
    // The extension headers after it carry a CRC-16 of the whole header.
    std::size_t at = p[0], crcAt = 0;
    for (std::size_t size; (size = arc::Le16(p + at)) != 0; at += size)
      if (p[at + 2] == 0x00) crcAt = at + 3;
    ASSERT_NE(crcAt, 0u);
    p[crcAt] = p[crcAt + 1] = 0;
    std::uint16_t crc = arc::Crc16Update(0, p, at + 2);
    p[crcAt] = static_cast<std::uint8_t>(crc);
    p[crcAt + 1] = static_cast<std::uint8_t>(crc >> 8);
  }
  auto entries = ReadAllEntries(*arc::OpenLzhReader(dir.Write("odd.lzh", bytes)));
  EXPECT_EQ(FilesOf(entries), tree);
}

TEST(LzhCrc, WrongDataCrcIsACrcMismatch) {
  TempDir dir;
  std::string text = SampleText(100000, 5);
  std::string archive = Lh5Archive({{"a.bms", text}});
  std::uint16_t crc = arc::Crc16Update(0, text.data(), text.size());
  SetDataCrc(archive, 0, static_cast<std::uint16_t>(crc ^ 0x0101));
  auto reader = arc::OpenLzhReader(dir.Write("crc.lzh", archive));
  arc::EntryInfo info;
  ASSERT_TRUE(reader->Next(info));
  ASSERT_EQ(info.method, "-lh5-");
  try {
    reader->ReadData([](const void*, std::size_t) { return true; });
    ADD_FAILURE() << "no error";
  } catch (const arc::ArcError& e) {
    EXPECT_EQ(e.Code(), ERROR_FILE_CRC);
    EXPECT_STREQ(e.what(), "LZH CRC mismatch");
  }
}

// A charts-only extraction passes over the other entries without decoding
// them: their damage goes unnoticed, while a full extraction reports it.
TEST(LzhSelection, UnselectedDamagedEntriesAreNotDecoded) {
  TempDir dir;
  std::vector<std::pair<std::string, std::string>> files = {
      {"a.bms", SampleText(3000, 6)},     {"b.wav", SampleText(300000, 7)}, {"c.bms", SampleText(4000, 8)},
      {"d.ogg", SampleText(200000, 9)},   {"e.bms", SampleText(2000, 10)},
  };
  std::string path = dir.Write("clean.lzh", Lh5Archive(files));
  std::string bytes = ReadBytes(path);
  for (const auto& e : Layout(path))
    if (e.name == "b.wav" || e.name == "d.ogg") DamageData(bytes, e);
  std::string damaged = dir.Write("s.lzh", bytes);

  ArcLibrary lha("UNLHA32.DLL", "Unlha");
  ASSERT_TRUE(lha.Loaded());
  ASSERT_EQ(lha.Command("x -x1 \"" + damaged + "\" \"" + dir.Path() + "charts/\" *.bms"), 0);
  std::map<std::string, std::string> charts;
  for (const auto& [name, data] : files)
    if (name.ends_with(".bms")) charts[name] = data;
  EXPECT_EQ(FilesUnder(dir.Path() + "charts"), charts);

  int full = lha.Command("x -x1 \"" + damaged + "\" \"" + dir.Path() + "all/\"");
  EXPECT_TRUE(full == ERROR_FILE_CRC || full == ERROR_BROKEN_DATA) << full;
}

}  // namespace
