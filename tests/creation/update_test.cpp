// SPDX-License-Identifier: MIT
// Deleting, freshening and updating through UNLHA32.DLL and ZIP32J.DLL:
// the entries an operation keeps stay byte for byte as they were stored,
// and an operation that fails leaves the archive exactly as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "archivers/lzh/lzh_archive_scan.h"
#include "archivers/zip/zip_central.h"

namespace {

using test_support::ArcLibrary;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::Shell;

using RawEntries = std::map<std::string, std::string>;  // stored name -> bytes as stored

RawEntries LzhRaw(const std::string& path) {
  RawEntries out;
  std::string bytes = ReadBytes(path);
  int fd = open(path.c_str(), O_RDONLY);
  for (const auto& e : arc::ScanLzhArchive(fd, bytes.size())) out[e.name] = bytes.substr(e.offset, e.length);
  close(fd);
  return out;
}

RawEntries ZipRaw(const std::string& path) {
  RawEntries out;
  std::string bytes = ReadBytes(path);
  int fd = open(path.c_str(), O_RDONLY);
  for (const auto& r : arc::ReadZipLayout(fd, bytes.size()).records)
    out[r.name] = bytes.substr(r.localOffset, r.localLength);
  close(fd);
  return out;
}

struct Dialect {
  const char* name;
  const char* library;
  const char* prefix;
  const char* archive;
  std::function<RawEntries(const std::string&)> raw;
  // Lines for: add the named files, delete, freshen from the folder, update from it.
  std::string add, del, freshen, update;
};

std::string Fill(std::string line, const TempDir& dir, const Dialect& d) {
  for (auto [key, value] : {std::pair<std::string, std::string>{"%A", "\"" + dir.Path() + d.archive + "\""},
                            {"%S", "\"" + dir.Path() + "src/\""}}) {
    for (std::size_t p; (p = line.find(key)) != std::string::npos;) line.replace(p, 2, value);
  }
  return line;
}

class Update : public ::testing::TestWithParam<Dialect> {
 protected:
  void SetUp() override {
    dir_.Write("src/a.bms", test_support::TextBytes(4000, 1));
    dir_.Write("src/b.wav", test_support::NoiseBytes(50000, 2));
    dir_.Write("src/c.txt", test_support::TextBytes(800, 3));
    ASSERT_EQ(Shell(dir_.Path() + "src", "touch -d '2001-02-03 04:05:06' a.bms b.wav c.txt"), 0);
    const Dialect& d = GetParam();
    lib_ = std::make_unique<ArcLibrary>(d.library, d.prefix);
    ASSERT_EQ(Run(d.add), 0);
    before_ = GetParam().raw(Archive());
    ASSERT_EQ(before_.size(), 3u);
  }
  int Run(const std::string& line, std::string* out = nullptr) {
    return lib_->Command(Fill(line, dir_, GetParam()), out);
  }
  std::string Archive() const { return dir_.Path() + GetParam().archive; }
  // The bytes of the archive, and that nothing else appeared beside it.
  void ExpectUntouched(const std::string& bytes) {
    EXPECT_TRUE(ReadBytes(Archive()) == bytes) << "archive changed";
    EXPECT_EQ(test_support::TreeOf(dir_.Path()).size(), 5u) << "left-over files beside the archive";
  }

  TempDir dir_;
  std::unique_ptr<ArcLibrary> lib_;
  RawEntries before_;
};

TEST_P(Update, DeleteKeepsTheOtherEntriesAsStored) {
  ASSERT_EQ(Run(GetParam().del), 0);
  RawEntries after = GetParam().raw(Archive());
  RawEntries expected = before_;
  expected.erase("b.wav");
  EXPECT_TRUE(after == expected);
}

TEST_P(Update, FreshenReplacesOnlyNewerFilesAndAddsNothing) {
  dir_.Write("src/a.bms", "#TITLE changed\r\n");
  dir_.Write("src/new.txt", "new");
  ASSERT_EQ(Shell(dir_.Path() + "src", "touch -d '2002-01-01 00:00:00' a.bms"), 0);
  ASSERT_EQ(Run(GetParam().freshen), 0);
  RawEntries after = GetParam().raw(Archive());
  ASSERT_EQ(after.size(), 3u);
  EXPECT_NE(after["a.bms"], before_["a.bms"]);
  EXPECT_EQ(after["b.wav"], before_["b.wav"]);
  EXPECT_EQ(after["c.txt"], before_["c.txt"]);
  // The new content is what a reference extractor finds.
  ASSERT_EQ(Shell(dir_.Path(), std::string("mkdir out && cd out && bsdtar -xf ../") + GetParam().archive), 0);
  EXPECT_EQ(ReadBytes(dir_.Path() + "out/a.bms"), "#TITLE changed\r\n");
}

TEST_P(Update, UpdateAddsNewFilesAndLeavesOlderOnesAlone) {
  dir_.Write("src/new.txt", "new");
  ASSERT_EQ(Shell(dir_.Path() + "src", "touch -d '2000-01-01 00:00:00' c.txt"), 0);
  ASSERT_EQ(Run(GetParam().update), 0);
  RawEntries after = GetParam().raw(Archive());
  ASSERT_EQ(after.size(), 4u);
  for (const char* kept : {"a.bms", "b.wav", "c.txt"}) EXPECT_EQ(after[kept], before_[kept]) << kept;
}

TEST_P(Update, FailuresLeaveTheArchiveAsItWas) {
  std::string bytes = ReadBytes(Archive());
  const Dialect& d = GetParam();
  std::string out;
  // A named file that does not exist.
  EXPECT_EQ(Run(d.add.substr(0, d.add.find("a.bms")) + "a.bms missing.bms", &out), ERROR_NOT_FIND_FILE);
  EXPECT_FALSE(out.empty());
  ExpectUntouched(bytes);
  // Deleting a name the archive does not hold.
  EXPECT_EQ(Run(d.del.substr(0, d.del.find("b.wav")) + "nothing.txt"), ERROR_NOT_FIND_FILE);
  ExpectUntouched(bytes);
  // A folder where no new archive can be written (root may write anyway).
  if (geteuid() != 0) {
    ASSERT_EQ(chmod(dir_.Path().c_str(), 0555), 0);
    dir_.Write("src/a.bms", "newer");
    EXPECT_EQ(Run(d.update), ERROR_TMP_OPEN);
    chmod(dir_.Path().c_str(), 0755);
    EXPECT_TRUE(ReadBytes(Archive()) == bytes);
  }
}

TEST_P(Update, NotAnArchiveOfTheFormatIsLeftAlone) {
  std::string junk = test_support::NoiseBytes(3000, 9);
  test_support::WriteBytes(Archive(), junk);
  EXPECT_EQ(Run(GetParam().update), ERROR_NOT_ARC_FILE);
  ExpectUntouched(junk);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, Update,
    ::testing::Values(Dialect{"lzh", "UNLHA32.DLL", "Unlha", "a.lzh", LzhRaw, "a -+  %A %S a.bms b.wav c.txt",
                              "d -+  %A b.wav", "f -+  %A %S", "u -+  %A %S *.*"},
                      Dialect{"zip", "ZIP32J.DLL", "Zip", "a.zip", ZipRaw, " -D  %A %S a.bms b.wav c.txt",
                              "-d -D  %A b.wav", "-f -D  %A %S", "-u -D  %A %S *.*"}),
    [](const ::testing::TestParamInfo<Dialect>& p) { return std::string(p.param.name); });

// A stub in front of a ZIP archive shifts every entry; -A makes the
// offsets count from the start of the file again.
TEST(ZipSelfExtractor, AdjustFixesTheOffsets) {
  TempDir dir;
  // The drivers send the name unquoted: a blank in it must not split it.
  ASSERT_EQ(Shell(dir.Path(), "mkdir 'with blank'"), 0);
  dir.Write("src/a.bms", test_support::TextBytes(3000, 1));
  ArcLibrary zip("ZIP32J.DLL", "Zip");
  ASSERT_EQ(zip.Command(" -D  \"" + dir.Path() + "a.zip\" \"" + dir.Path() + "src/\" a.bms"), 0);
  std::string exe = dir.Write("with blank/a.EXE", test_support::NoiseBytes(5000, 2) + ReadBytes(dir.Path() + "a.zip"));
  int fd = open(exe.c_str(), O_RDONLY);
  EXPECT_EQ(arc::ReadZipLayout(fd, ReadBytes(exe).size()).shift, 5000);
  close(fd);
  ASSERT_EQ(zip.Command("-A " + exe), 0);
  fd = open(exe.c_str(), O_RDONLY);
  EXPECT_EQ(arc::ReadZipLayout(fd, ReadBytes(exe).size()).shift, 0);
  close(fd);
  // unzip warns (status 1) about a prefix the offsets do not account for.
  EXPECT_EQ(Shell(dir.Path(), "unzip -tqq 'with blank/a.EXE'"), 0);
  EXPECT_EQ(ReadBytes(exe).substr(0, 5000), test_support::NoiseBytes(5000, 2));
}

}  // namespace

namespace {

// Archives written by other tools use header levels 0 and 1 as well; an
// update copies their entries unchanged whatever the level.
TEST(LzhUpdate, KeepsEntriesOfEveryHeaderLevel) {
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    TempDir dir;
    std::string archive = dir.Write(
        "a.lzh", test_support::MakeStoredLzh({{"song/a.bms", "#TITLE a\r\n"}, {"b.wav", "RIFF"}, {"c.txt", "c"}}, level));
    RawEntries before = LzhRaw(archive);
    ASSERT_EQ(before.size(), 3u);
    ArcLibrary lha("UNLHA32.DLL", "Unlha");
    ASSERT_EQ(lha.Command("d \"" + archive + "\" b.wav"), 0);
    RawEntries after = LzhRaw(archive);
    before.erase("b.wav");
    EXPECT_TRUE(after == before);
    EXPECT_EQ(Shell(dir.Path(), "lhasa t a.lzh"), 0);
  }
}

}  // namespace
