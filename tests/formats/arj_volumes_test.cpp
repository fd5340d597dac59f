// SPDX-License-Identifier: MIT
// ARJ multi-volume archives made by `arj a -v` at test time: an entry over
// several volumes is read whole from the first volume, as `arj x` unpacks
// it; a missing volume lets the entries before it out and is named.
#include <gtest/gtest.h>

#include <filesystem>

#include "archiver_api.h"
#include "archivers/arj/arj_format.h"
#include "tests/formats/format_fixture.h"

using namespace fmt_test;

namespace {

const std::map<std::string, std::string>& SongFiles() {
  static const std::map<std::string, std::string> files = {
      {"a.bms", SampleText(14000, 51)},
      {"big.wav", NoiseBytes(200000, 52)},  // over four volumes
      {"c.bme", SampleText(700, 53)},
  };
  return files;
}

class ArjVolumes : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool("arj")) GTEST_SKIP() << "arj not installed";
    for (const auto& [name, data] : SongFiles()) dir_.Write("src/" + name, data);
    ASSERT_EQ(Shell(dir_.Path() + "src", "arj a -v64K -y ../s.arj a.bms big.wav c.bme >/dev/null"), 0);
    ASSERT_TRUE(std::filesystem::exists(dir_.Path() + "s.a03"));
  }
  TempDir dir_;
};

TEST_F(ArjVolumes, ReadsTheSetWholeAsArjDoes) {
  auto entries = ReadAllEntries(*arc::OpenArjReader(dir_.Path() + "s.arj"));
  EXPECT_EQ(FilesOf(entries), SongFiles());
  for (const auto& e : entries) EXPECT_EQ(e.info.size, e.data.size()) << e.info.name;
  ASSERT_EQ(Shell(dir_.Path(), "mkdir ref && cd ref && arj x -v -y ../s.arj >/dev/null"), 0);
  EXPECT_EQ(FilesUnder(dir_.Path() + "ref"), SongFiles());
}

TEST_F(ArjVolumes, SkippingAnEntryOverVolumesFindsTheNext) {
  auto reader = arc::OpenArjReader(dir_.Path() + "s.arj");
  std::vector<std::string> names;
  arc::EntryInfo info;
  while (reader->Next(info)) names.push_back(info.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.bms", "big.wav", "c.bme"}));
}

TEST_F(ArjVolumes, AMissingVolumeIsNamedAfterTheEntriesBeforeIt) {
  std::filesystem::remove(dir_.Path() + "s.a02");
  auto reader = arc::OpenArjReader(dir_.Path() + "s.arj");
  EXPECT_FALSE(reader->ListsCheaply());
  std::map<std::string, std::string> got;
  std::string why;
  try {
    arc::EntryInfo info;
    while (reader->Next(info)) got[info.name] = ReadCurrentData(*reader);
  } catch (const arc::ArcError& e) {
    EXPECT_EQ(e.Code(), ERROR_UNEXPECTED_EOF);
    why = e.what();
  }
  EXPECT_EQ(got["a.bms"], SongFiles().at("a.bms"));
  EXPECT_EQ(why, "missing volume " + dir_.Path() + "s.a02");
}

}  // namespace
