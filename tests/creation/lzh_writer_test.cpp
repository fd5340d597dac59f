// SPDX-License-Identifier: MIT
// The LZH writer read back by liblhasa (through our reader): the -lh5-
// encoder on data that exercises its corners, the choice of -lh0-, and the
// header fields.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/archive_maker.h"
#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/lzh/lh5_encoder.h"
#include "archivers/lzh/lzh_entry_writer.h"
#include "archivers/lzh/lzh_format.h"

namespace {

using test_support::TempDir;

struct ReadBack {
  arc::EntryInfo info;
  std::string data;
};

std::vector<ReadBack> ReadLzh(const std::string& archive) {
  std::vector<ReadBack> out;
  auto reader = arc::OpenLzhReader(archive);
  arc::EntryInfo info;
  while (reader->Next(info)) {
    ReadBack r{info, {}};
    if (!info.isDirectory)
      reader->ReadData([&](const void* d, std::size_t n) {
        r.data.append(static_cast<const char*>(d), n);
        return true;
      });
    out.push_back(std::move(r));
  }
  return out;
}

std::string Entry(const std::string& name, const std::string& data, std::time_t mtime = 1000000000) {
  return arc::MakeLzhEntry(name, false, mtime, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

struct DataCase {
  const char* what;
  std::function<std::string()> make;
  const char* method;
};

std::string Repeat(const std::string& unit, std::size_t size) {
  std::string s;
  while (s.size() < size) s += unit;
  s.resize(size);
  return s;
}

const DataCase kData[] = {
    {"empty", [] { return std::string(); }, "-lh0-"},
    {"one byte", [] { return std::string("x"); }, "-lh0-"},
    {"noise", [] { return test_support::NoiseBytes(70000, 1); }, "-lh0-"},
    // One character: a one-symbol character tree and no positions but 0.
    {"one repeated byte", [] { return std::string(100000, 'a'); }, "-lh5-"},
    {"text", [] { return test_support::TextBytes(200000, 2); }, "-lh5-"},
    // Far more commands than one block holds.
    {"many blocks of literals and short copies",
     [] {
       std::string s = test_support::NoiseBytes(3000, 3);
       std::string out;
       for (int i = 0; i < 200; ++i) out += test_support::NoiseBytes(700, 10 + i) + s.substr(i, 5);
       return out;
     },
     "-lh5-"},
    // Copies from exactly the window's far end (distance 8192).
    {"period of the window",
     [] { return Repeat(test_support::NoiseBytes(8192, 4), 8192 * 5); }, "-lh5-"},
    // Copies just beyond the window must not be used.
    {"period just past the window",
     [] { return Repeat(test_support::NoiseBytes(8193, 5), 8193 * 4) + std::string(3000, 'z'); }, "-lh5-"},
    {"every byte value with long matches",
     [] {
       std::string s;
       for (int i = 0; i < 256; ++i) s += std::string(static_cast<std::size_t>(i % 7 + 1), static_cast<char>(i));
       return Repeat(s, 50000);
     },
     "-lh5-"},
};

TEST(LzhWriter, EntriesDecodeToTheSameBytes) {
  TempDir dir;
  std::string archive;
  for (const auto& c : kData) archive += Entry(c.what, c.make());
  archive += arc::kLzhArchiveEnd;
  std::string path = dir.Write("t.lzh", archive);
  auto back = ReadLzh(path);
  ASSERT_EQ(back.size(), std::size(kData));
  for (std::size_t i = 0; i < back.size(); ++i) {
    SCOPED_TRACE(kData[i].what);
    EXPECT_EQ(back[i].info.name, kData[i].what);
    EXPECT_EQ(back[i].info.method, kData[i].method);
    EXPECT_TRUE(back[i].data == kData[i].make()) << "content differs";
    EXPECT_EQ(back[i].info.mtime, 1000000000);
  }
}

TEST(LzhWriter, CompressesTextWell) {
  std::string text = test_support::TextBytes(100000, 7);
  std::string packed = arc::EncodeLh5(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  EXPECT_LT(packed.size(), text.size() / 2);
}

TEST(LzhWriter, FoldersAndCp932NamesSurviveTheHeader) {
  TempDir dir;
  // "ソ" ends in 0x5C, "表" too: neither may be taken for a folder separator.
  std::string sub = test_support::Sjis("ソフラン/表");
  std::string name = sub + "/" + test_support::Sjis("譜面.bms");
  std::string archive = arc::MakeLzhEntry(sub, true, 1000000000, nullptr, 0) + Entry(name, "#TITLE x\r\n");
  archive += arc::kLzhArchiveEnd;
  auto back = ReadLzh(dir.Write("t.lzh", archive));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_TRUE(back[0].info.isDirectory);
  EXPECT_EQ(back[0].info.name.substr(0, sub.size()), sub);
  EXPECT_EQ(back[1].info.name, name);
  EXPECT_EQ(back[1].data, "#TITLE x\r\n");
}

TEST(LzhWriter, HeaderSizesWithAZeroLowBytePadded) {
  // Names of every length between them hit a header size of 256 exactly.
  TempDir dir;
  std::string archive;
  for (std::size_t len = 200; len < 240; ++len) archive += Entry(std::string(len, 'n'), "data");
  archive += arc::kLzhArchiveEnd;
  auto back = ReadLzh(dir.Write("t.lzh", archive));
  ASSERT_EQ(back.size(), 40u);
  for (std::size_t i = 0; i < back.size(); ++i) EXPECT_EQ(back[i].info.name.size(), 200 + i);
}

TEST(LzhWriter, RefusesAnEmptyName) {
  try {
    Entry("", "x");
    ADD_FAILURE() << "no error";
  } catch (const arc::ArcError& e) {
    EXPECT_EQ(e.Code(), ERROR_NOT_FILENAME);
  }
}

}  // namespace
