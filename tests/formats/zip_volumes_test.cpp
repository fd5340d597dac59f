// SPDX-License-Identifier: MIT
// ZIP split sets made at test time: Info-ZIP's ".z01"... with the ".zip"
// last (`zip -s`) and raw pieces ".zip.001"... (`7zz -v`), deflated and
// stored, read whole from the volume that opens them as 7zz reads them; a
// missing volume lets the entries before it out and is named.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "archiver_api.h"
#include "archivers/zip/zip_format.h"
#include "tests/formats/format_fixture.h"

using namespace fmt_test;

namespace {

const std::map<std::string, std::string>& SongFiles() {
  static const std::map<std::string, std::string> files = {
      {"a.bms", SampleText(3000, 41)},
      {"big.wav", NoiseBytes(200000, 42)},  // over four volumes of 64 KiB
      {"c.bme", SampleText(700, 43)},
  };
  return files;
}

struct SetKind {
  const char* what;
  const char* make;    // run in the song's folder, writing into ..
  const char* opened;  // the volume the set is opened by
  const char* second;  // a volume the later entries need
};

class ZipSets : public ::testing::TestWithParam<SetKind> {
 protected:
  void SetUp() override {
    if (!HaveTool("zip") || !HaveTool("7zz")) GTEST_SKIP() << "zip or 7zz not installed";
    for (const auto& [name, data] : SongFiles()) dir_.Write("src/" + name, data);
    ASSERT_EQ(Shell(dir_.Path() + "src", GetParam().make), 0);
  }
  TempDir dir_;
};

TEST_P(ZipSets, ReadsTheSetWholeAs7zzDoes) {
  std::string opened = dir_.Path() + GetParam().opened;
  auto entries = ReadAllEntries(*arc::OpenZipReader(opened));
  EXPECT_EQ(FilesOf(entries), SongFiles());
  for (const auto& e : entries) {
    EXPECT_EQ(e.info.size, e.data.size()) << e.info.name;
    EXPECT_TRUE(e.info.crcKnown) << e.info.name;  // paired with the directory
  }
  ASSERT_EQ(Shell(dir_.Path(), "7zz x -bso0 -oref " + ShellQuote(opened)), 0);
  EXPECT_EQ(FilesUnder(dir_.Path() + "ref"), SongFiles());
}

TEST_P(ZipSets, AMissingVolumeIsNamedAfterTheEntriesBeforeIt) {
  std::string gone = dir_.Path() + GetParam().second;
  std::filesystem::remove(gone);
  auto reader = arc::OpenZipReader(dir_.Path() + GetParam().opened);
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
  EXPECT_EQ(got.count("c.bme"), 0u);  // it lies past the gap
  EXPECT_EQ(why, "missing volume " + gone);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ZipSets,
    ::testing::Values(SetKind{"zip_s", "zip -q -s 64k ../s.zip a.bms big.wav c.bme", "s.zip", "s.z02"},
                      SetKind{"zip_s_stored", "zip -q -0 -s 64k ../s.zip a.bms big.wav c.bme", "s.zip", "s.z03"},
                      SetKind{"raw", "7zz a -bso0 -tzip -v64k ../s.zip a.bms big.wav c.bme", "s.zip.001", "s.zip.002"}),
    [](const auto& info) { return std::string(info.param.what); });

// A ".zip" that is the last volume of a set whose first is not there.
TEST(ZipSet, ALastVolumeAloneNamesTheFirst) {
  if (!HaveTool("zip")) GTEST_SKIP() << "zip not installed";
  TempDir dir;
  for (const auto& [name, data] : SongFiles()) dir.Write("src/" + name, data);
  ASSERT_EQ(Shell(dir.Path() + "src", "zip -q -s 64k ../s.zip a.bms big.wav c.bme"), 0);
  std::filesystem::remove(dir.Path() + "s.z01");
  EXPECT_EQ(ReadErrorCode(arc::OpenZipReader, dir.Path() + "s.zip"), ERROR_UNEXPECTED_EOF);
}

// Raw pieces of an archive whose directory is larger than a piece: the
// directory starts before the last piece, and the entries still come out
// whole with their names.
TEST(ZipSet, ADirectoryOverSeveralPiecesStillReads) {
  if (!HaveTool("7zz")) GTEST_SKIP() << "7zz not installed";
  TempDir dir;
  std::map<std::string, std::string> files;
  for (int i = 0; i < 1500; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "chart%04d.bms", i);
    files[name] = "#TITLE " + std::to_string(i) + "\r\n";
    dir.Write(std::string("src/") + name, files[name]);
  }
  ASSERT_EQ(Shell(dir.Path() + "src", "7zz a -bso0 -tzip -mx=0 -v64k ../s.zip ."), 0);
  ASSERT_TRUE(std::filesystem::exists(dir.Path() + "s.zip.003"));
  EXPECT_EQ(FilesOf(ReadAllEntries(*arc::OpenZipReader(dir.Path() + "s.zip.001"))), files);
}

}  // namespace
