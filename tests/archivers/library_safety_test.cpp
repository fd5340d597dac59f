// SPDX-License-Identifier: MIT
// Hostile and damaged archives: nothing lands outside the destination, and
// every failure is reported.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::FillCommandLine;
using test_support::RawEntry;

// Everything in the scratch folder outside `dest/` and the archive itself.
std::vector<std::string> Outside(const test_support::TempDir& dir, const std::string& archiveName) {
  std::vector<std::string> out;
  for (auto& p : test_support::TreeOf(dir.Path()))
    if (p.rfind("dest/", 0) != 0 && p != archiveName && p != "outside.txt") out.push_back(p);
  return out;
}

bool IsSymlink(const std::string& path) {
  struct stat st{};
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(Hostile, TarEntriesCannotEscape) {
  test_support::TempDir dir;
  dir.Write("outside.txt", "keep");
  std::vector<RawEntry> entries = {
      {"../evil1.txt", "x"},
      {"/abs/evil2.txt", "abs"},                    // made relative
      {"C:\\drive\\evil3.txt", "drive"},            // drive dropped, "\" separates
      {"a\\..\\..\\evil4.txt", "x"},
      {"out", "", '2', "../outside.txt"},           // link out of the destination: refused
      {"out/through.txt", "x"},                     // becomes a real folder, inside
      {"in", "", '2', "good.txt"},                  // link inside: made
      {"in/through.txt", "x"},                      // never written through a link
      {"good.txt", "good"},
      {"hard", "", '1', "../outside.txt"},          // hard link out: refused
      {"pre.txt", "replaced"},
  };
  std::string archive = dir.Write("h.tar", test_support::MakeTar(entries));
  // A link already at the destination is replaced, not written through.
  ASSERT_EQ(test_support::Shell(dir.Path(), "mkdir dest && ln -s ../outside.txt dest/pre.txt"), 0);
  ArcLibrary tar("tar32.dll", "Tar");
  EXPECT_EQ(tar.Command("x --use-directory=1 -f \"" + archive + "\" -o \"" + dir.Path() + "dest/\""), ERROR_UNSAFE_PATH);

  EXPECT_EQ(Outside(dir, "h.tar"), std::vector<std::string>{});
  EXPECT_EQ(test_support::ReadBytes(dir.Path() + "outside.txt"), "keep");
  auto files = FilesUnder(dir.Path() + "dest");
  EXPECT_EQ(files, (std::map<std::string, std::string>{{"abs/evil2.txt", "abs"},
                                                       {"drive/evil3.txt", "drive"},
                                                       {"out/through.txt", "x"},
                                                       {"good.txt", "good"},
                                                       {"pre.txt", "replaced"}}));
  EXPECT_TRUE(IsSymlink(dir.Path() + "dest/in"));
  EXPECT_FALSE(IsSymlink(dir.Path() + "dest/pre.txt"));
  EXPECT_EQ(test_support::ReadBytes(dir.Path() + "dest/good.txt"), "good");  // not overwritten through "in"
}

// An archive handed to one library with a command line (%A the archive,
// %D the destination).
struct LibraryCase {
  const char* file;
  const char* prefix;
  std::string bytes;
  std::string line;
};

TEST(Hostile, ZipAndLzhNamesCannotEscape) {
  std::vector<RawEntry> entries = {{"../evil1.txt", "x"}, {"/abs/evil2.txt", "abs"}, {"sub/../../evil3.txt", "x"}, {"ok.txt", "ok"}};
  const LibraryCase cases[] = {
      {"UNZIP32.DLL", "UnZip", test_support::MakeStoredZip(entries, false), "-x  \"%A\" \"%D\" "},
      {"UNLHA32.DLL", "Unlha", test_support::MakeStoredLzh(entries, 2), "x -+ -x1  \"%A\" \"%D\" "},
      {"UNLHA32.DLL", "Unlha", test_support::MakeStoredLzh(entries, 0), "x -+ -x1  \"%A\" \"%D\" "},
  };
  for (const auto& c : cases) {
    test_support::TempDir dir;
    std::string archive = dir.Write("h.arc", c.bytes);
    std::string line = FillCommandLine(c.line, archive, dir.Path() + "dest/");
    EXPECT_EQ(ArcLibrary(c.file, c.prefix).Command(line), ERROR_UNSAFE_PATH) << c.file;
    EXPECT_EQ(Outside(dir, "h.arc"), std::vector<std::string>{}) << c.file;
    EXPECT_EQ(FilesUnder(dir.Path() + "dest"), (std::map<std::string, std::string>{{"abs/evil2.txt", "abs"}, {"ok.txt", "ok"}}))
        << c.file;
  }
}

// Damaged archives give an error and leave no half-written file.
TEST(Damaged, TruncatedOrCorruptArchivesFail) {
  std::string big = test_support::NoiseBytes(200000, 4);
  std::vector<RawEntry> entries = {{"first.txt", "first"}, {"second.bin", big}};
  struct Case {
    const char* what;
    const char* file;
    const char* prefix;
    std::string bytes;
    std::string line;
    std::map<std::string, std::string> left;
  } cases[] = {
      {"lzh cut in data", "UNLHA32.DLL", "Unlha", test_support::MakeStoredLzh(entries, 2).substr(0, 100000), "x -x1 \"%A\" \"%D\"", {{"first.txt", "first"}}},
      // Cut ten bytes into the second header (the first entry ends where a
      // one-entry archive's end mark would be).
      {"lzh cut in header", "UNLHA32.DLL", "Unlha",
       test_support::MakeStoredLzh(entries, 2).substr(0, test_support::MakeStoredLzh({entries[0]}, 2).size() - 1 + 10),
       "x -x1 \"%A\" \"%D\"", {{"first.txt", "first"}}},
      {"tar cut in data", "tar32.dll", "Tar", test_support::MakeTar(entries).substr(0, 100000), "x -f \"%A\" -o \"%D\"", {{"first.txt", "first"}}},
      {"zip cut", "UNZIP32.DLL", "UnZip", test_support::MakeStoredZip(entries, false).substr(0, 100000), "-x \"%A\" \"%D\"", {}},
  };
  for (const auto& c : cases) {
    test_support::TempDir dir;
    std::string archive = dir.Write("d.arc", c.bytes);
    std::string line = FillCommandLine(c.line, archive, dir.Path() + "dest/");
    EXPECT_NE(ArcLibrary(c.file, c.prefix).Command(line), 0) << c.what;
    EXPECT_EQ(FilesUnder(dir.Path() + "dest"), c.left) << c.what;
  }
}

TEST(Damaged, ChecksumMismatchIsReportedAndTheFileRemoved) {
  std::vector<RawEntry> entries = {{"a.txt", test_support::TextBytes(3000, 1)}};
  const LibraryCase cases[] = {
      {"UNLHA32.DLL", "Unlha", test_support::MakeStoredLzh(entries, 1), "x \"%A\" \"%D\""},
      {"UNZIP32.DLL", "UnZip", test_support::MakeStoredZip(entries, false), "-x \"%A\" \"%D\""},
  };
  for (const auto& c : cases) {
    test_support::TempDir dir;
    std::string bytes = c.bytes;
    std::size_t at = bytes.find(entries[0].data.substr(100, 20));
    ASSERT_NE(at, std::string::npos);
    bytes[at] ^= 0x55;  // one flipped byte in the stored data
    std::string archive = dir.Write("c.arc", bytes);
    std::string line = FillCommandLine(c.line, archive, dir.Path() + "dest/");
    ArcLibrary lib(c.file, c.prefix);
    EXPECT_EQ(lib.Command(line), ERROR_FILE_CRC) << c.file;
    EXPECT_TRUE(FilesUnder(dir.Path() + "dest").empty()) << c.file;
    auto check = lib.Entry<ARC_CHECK_FN>("CheckArchive");
    EXPECT_EQ(check(archive.c_str(), CHECKARCHIVE_FULLCRC), 0) << c.file;
    std::string good = dir.Write("g.arc", c.bytes);
    EXPECT_NE(check(good.c_str(), CHECKARCHIVE_FULLCRC), 0) << c.file;
  }
}

}  // namespace
