// SPDX-License-Identifier: MIT
// RAR volume sets from the test writer: every naming style, entries that
// go on across volumes, read whole as unar reads them; a missing volume lets
// the entries before it out and is named.
#include <gtest/gtest.h>

#include <filesystem>

#include "archiver_api.h"
#include "archivers/rar/rar_format.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/rar_writer.h"

using namespace fmt_test;

namespace {

std::vector<RarEntry> SetEntries() {
  return {
      {"a.bms", {}, SampleText(3000, 31)},
      {"big.bin", {}, NoiseBytes(70000, 32)},  // over three volumes
      {"c.bme", {}, SampleText(500, 33)},
  };
}

std::map<std::string, std::string> SetFiles() {
  std::map<std::string, std::string> m;
  for (const auto& e : SetEntries()) m[e.name] = e.data;
  return m;
}

struct SetKind {
  const char* what;
  bool rar5;
  std::vector<std::string> names;  // volume names in order
};

std::vector<std::string> WriteSet(const TempDir& dir, const SetKind& kind) {
  std::vector<std::string> volumes =
      kind.rar5 ? WriteRar5Volumes(SetEntries(), 30000)
                : WriteRar4Volumes(SetEntries(), 30000, kind.names[0].find(".part") != std::string::npos);
  EXPECT_EQ(volumes.size(), kind.names.size()) << kind.what;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < volumes.size() && i < kind.names.size(); ++i)
    paths.push_back(dir.Write(kind.names[i], volumes[i]));
  return paths;
}

class RarSets : public ::testing::TestWithParam<SetKind> {};

TEST_P(RarSets, ReadsTheSetWholeFromItsFirstVolume) {
  TempDir dir;
  std::vector<std::string> paths = WriteSet(dir, GetParam());
  auto entries = ReadAllEntries(*arc::OpenRarReader(paths[0]));
  EXPECT_EQ(FilesOf(entries), SetFiles());
  for (const auto& e : entries) EXPECT_EQ(e.info.size, e.data.size()) << e.info.name;
  if (!HaveTool("unar")) GTEST_SKIP() << "unar not installed";
  ASSERT_EQ(Shell(dir.Path(), "unar -q -D -o ref " + ShellQuote(paths[0])), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "ref"), SetFiles());
}

TEST_P(RarSets, AMissingVolumeIsNamedAfterTheEntriesBeforeIt) {
  TempDir dir;
  std::vector<std::string> paths = WriteSet(dir, GetParam());
  std::filesystem::remove(paths[2]);
  auto reader = arc::OpenRarReader(paths[0]);
  arc::EntryInfo info;
  ASSERT_TRUE(reader->Next(info));
  EXPECT_EQ(info.name, "a.bms");
  EXPECT_EQ(ReadCurrentData(*reader), SetFiles()["a.bms"]);
  std::string why;
  try {
    // big.bin goes on in the missing volume.
    if (reader->Next(info)) ReadCurrentData(*reader);
    reader->Next(info);
  } catch (const arc::ArcError& e) {
    EXPECT_EQ(e.Code(), ERROR_UNEXPECTED_EOF);
    why = e.what();
  }
  EXPECT_EQ(why, "missing volume " + paths[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, RarSets,
    ::testing::Values(SetKind{"rar5_part", true, {"s.part1.rar", "s.part2.rar", "s.part3.rar"}},
                      SetKind{"rar5_part01", true, {"s.part01.rar", "s.part02.rar", "s.part03.rar"}},
                      SetKind{"rar4_part", false, {"s.part1.rar", "s.part2.rar", "s.part3.rar"}},
                      SetKind{"rar4_old", false, {"s.rar", "s.r00", "s.r01"}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
