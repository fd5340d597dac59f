// SPDX-License-Identifier: MIT
// Cabinet sets: the first cabinet is read with the one it names as next, so
// a file cut between them is whole, as cabextract unpacks it; a missing
// next cabinet lets the files before it out and is named.
#include <gtest/gtest.h>

#include <filesystem>

#include "archiver_api.h"
#include "archivers/cab/cab_format.h"
#include "tests/support/cab_set_writer.h"
#include "tests/formats/format_fixture.h"

using namespace fmt_test;

namespace {

const std::vector<CabSetFile>& SetFiles() {
  static const std::vector<CabSetFile> files = {
      {"a.bms", SampleText(3000, 61)},
      {"big.wav", NoiseBytes(100000, 62)},  // cut between the cabinets
      {"c.bme", SampleText(700, 63)},
  };
  return files;
}

std::map<std::string, std::string> Expected() {
  std::map<std::string, std::string> m;
  for (const CabSetFile& f : SetFiles()) m[f.name] = f.data;
  return m;
}

class CabSet : public ::testing::Test {
 protected:
  void SetUp() override {
    auto [one, two] = WriteCabSet(SetFiles(), 50000, "s1.cab", "s2.cab");
    dir_.Write("s1.cab", one);
    dir_.Write("s2.cab", two);
  }
  TempDir dir_;
};

TEST_F(CabSet, ReadsTheSetWholeAsCabextractDoes) {
  auto entries = ReadAllEntries(*arc::OpenCabReader(dir_.Path() + "s1.cab"));
  EXPECT_EQ(FilesOf(entries), Expected());
  if (!HaveTool("cabextract")) GTEST_SKIP() << "cabextract not installed";
  ASSERT_EQ(Shell(dir_.Path(), "cabextract -q -d ref s1.cab"), 0);
  EXPECT_EQ(FilesUnder(dir_.Path() + "ref"), Expected());
}

TEST_F(CabSet, AMissingNextCabinetIsNamedAfterTheFilesBeforeIt) {
  std::filesystem::remove(dir_.Path() + "s2.cab");
  auto reader = arc::OpenCabReader(dir_.Path() + "s1.cab");
  std::map<std::string, std::string> got;
  std::string why;
  try {
    arc::EntryInfo info;
    while (reader->Next(info)) got[info.name] = ReadCurrentData(*reader);
  } catch (const arc::ArcError& e) {
    EXPECT_EQ(e.Code(), ERROR_UNEXPECTED_EOF);
    why = e.what();
  }
  EXPECT_EQ(got["a.bms"], Expected()["a.bms"]);
  EXPECT_EQ(why, "missing volume " + dir_.Path() + "s2.cab");
}

}  // namespace
