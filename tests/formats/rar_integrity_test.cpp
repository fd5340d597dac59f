// SPDX-License-Identifier: MIT
// Extraction of RAR archives keeps what is sound: a damaged entry costs
// only itself, and an archive cut after its last entry is reported.
#include <gtest/gtest.h>

#include <set>

#include "archiver_api.h"
#include "archivers/shared/extractor.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/rar_writer.h"
#include "tests/support/same_files.h"
#include "archivers/rar/rar_format.h"

using namespace fmt_test;

namespace {

using test_support::ExpectSameFiles;
using test_support::Files;

const std::string kReadme = "README-" + std::string(2000, 'r') + "-README";

Files Charts() { return {{"a.bms", SampleText(4000, 1)}, {"b.bms", SampleText(5000, 2)}}; }

std::vector<RarEntry> Song() {
  std::vector<RarEntry> entries;
  entries.push_back({"readme.txt", {}, kReadme, false, false});
  for (auto& [name, data] : Charts()) entries.push_back({name, {}, data, false, false});
  return entries;
}

int Extract(const std::string& archive, const std::string& dest) {
  arc::ExtractRequest req;
  req.archive = archive;
  req.destDir = dest;
  std::string message;
  return arc::Extract(req, {&arc::OpenRarReader}, message);
}

std::string Damaged(std::string archive) {
  archive[archive.find(kReadme) + 100] ^= 0x01;
  return archive;
}

TEST(RarIntegrity, ADamagedEntryBeforeTheChartsCostsOnlyItself) {
  TempDir dir;
  for (auto [what, bytes] : {std::pair{"rar4", WriteRar4(Song())}, std::pair{"rar5", WriteRar5(Song())}}) {
    std::string archive = dir.Write(std::string(what) + ".rar", Damaged(bytes));
    std::string dest = dir.Path() + what + "/";
    EXPECT_EQ(Extract(archive, dest), ERROR_FILE_CRC) << what;
    ExpectSameFiles(FilesUnder(dest), Charts(), what);
  }
}

TEST(RarIntegrity, Rar5CutAfterItsLastEntryIsAnError) {
  TempDir dir;
  std::string whole = WriteRar5(Song());
  std::string cut = whole.substr(0, whole.size() - 8);  // the end-of-archive header
  ASSERT_EQ(cut.substr(cut.size() - 5000), Charts()["b.bms"]);
  EXPECT_EQ(Extract(dir.Write("whole.rar", whole), dir.Path() + "whole/"), 0);
  EXPECT_NE(Extract(dir.Write("cut.rar", cut), dir.Path() + "cut/"), 0);
  // What it holds is still written.
  EXPECT_EQ(FilesUnder(dir.Path() + "cut/").size(), 3u);
}

TEST(RarIntegrity, Rar5StoredDataIsCheckedAgainstItsHeaderCrc) {
  TempDir dir;
  std::vector<RarEntry> entries = {{"a.bms", {}, kReadme, false, false}};
  EXPECT_EQ(Extract(dir.Write("good.rar", WriteRar5(entries)), dir.Path() + "good/"), 0);
  EXPECT_EQ(test_support::NamesOf(FilesUnder(dir.Path() + "good/")), std::set<std::string>{"a.bms"});
  EXPECT_EQ(Extract(dir.Write("bad.rar", Damaged(WriteRar5(entries))), dir.Path() + "bad/"), ERROR_FILE_CRC);
  EXPECT_TRUE(FilesUnder(dir.Path() + "bad/").empty());
}

}  // namespace
