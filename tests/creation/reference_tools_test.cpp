// SPDX-License-Identifier: MIT
// Archives made by our libraries, extracted by the reference tools (lhasa,
// bsdtar, 7-Zip, cabextract) and by our own libraries: the same names,
// bytes and times as the files they were made from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "platform/cp932.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::Shell;

std::map<std::string, std::string> AsUtf8Names(const std::map<std::string, std::string>& files) {
  std::map<std::string, std::string> out;
  for (auto& [n, b] : files) out[platform::Cp932ToUtf8(n)] = b;
  return out;
}

// The song folder: charts, "audio", a nested folder, Japanese names (one
// whose second byte is 0x5C, left out where the reference cannot take it)
// and a hidden file.
void MakeSongTree(const test_support::TempDir& dir, bool backslashByteName) {
  dir.Write("src/song/a.bms", test_support::TextBytes(5000, 1));
  dir.Write("src/song/bgm.ogg", test_support::NoiseBytes(300000, 2));
  dir.Write("src/song/sub/kick.wav", test_support::NoiseBytes(40000, 3));
  dir.Write("src/readme.txt", test_support::TextBytes(700, 4));
  dir.Write("src/曲名.bms", test_support::TextBytes(900, 5));
  if (backslashByteName) dir.Write("src/ソフラン表.bms", test_support::TextBytes(900, 6));
  dir.Write("src/.hidden", "x");
  ASSERT_EQ(Shell(dir.Path() + "src", "find . -exec touch -h -d '2001-02-03 04:05:06' {} +"), 0);
}

struct Format {
  const char* name;
  const char* library;
  const char* prefix;
  const char* archive;
  std::function<std::string(const std::string& arc, const std::string& src)> create;
  std::vector<std::string> references;  // run in ref<i>/, extract ../<archive>
  bool rawCp932Names;                   // the references write names as CP932 bytes
  bool takesHidden;
  bool backslashByteName;
  std::string extractLine;              // our own extraction, %A archive, %D destination
};

std::string Q(const std::string& s) { return "\"" + s + "\""; }

const char* kBsdtarCp932 = "LC_ALL=C.UTF-8 bsdtar --options hdrcharset=CP932 -xf ../";

class CreatedArchive : public ::testing::TestWithParam<Format> {};

TEST_P(CreatedArchive, ExtractsIdenticallyEverywhere) {
  const Format& f = GetParam();
  test_support::TempDir dir;
  MakeSongTree(dir, f.backslashByteName);
  ArcLibrary lib(f.library, f.prefix);
  ASSERT_TRUE(lib.Loaded());
  std::string archive = dir.Path() + f.archive;
  std::string output;
  ASSERT_EQ(lib.Command(f.create(archive, dir.Path() + "src/"), &output), 0) << output;

  auto expected = FilesUnder(dir.Path() + "src");
  if (!f.takesHidden) expected.erase(".hidden");
  ASSERT_GE(expected.size(), 6u);

  for (std::size_t i = 0; i < f.references.size(); ++i) {
    SCOPED_TRACE(f.references[i]);
    std::string ref = "ref" + std::to_string(i);
    dir.Write(ref + "/.keep", "");
    ASSERT_EQ(Shell(dir.Path() + ref, "rm .keep && " + f.references[i] + f.archive), 0);
    auto got = FilesUnder(dir.Path() + ref);
    if (f.rawCp932Names && i == 0) got = AsUtf8Names(got);
    EXPECT_TRUE(got == expected) << "reference extraction differs";
    EXPECT_NEAR(static_cast<double>(test_support::MtimeOf(dir.Path() + ref + "/song/a.bms")),
                static_cast<double>(test_support::MtimeOf(dir.Path() + "src/song/a.bms")), 2.0);
  }

  // Our own libraries read it back and check it.
  ArcLibrary reader(f.library, f.prefix);
  std::string ours = dir.Path() + "ours/";
  ASSERT_EQ(lib.Command(test_support::FillCommandLine(f.extractLine, archive, ours)), 0);
  EXPECT_TRUE(FilesUnder(ours) == expected);
  auto check = lib.Entry<ARC_CHECK_FN>(std::string(f.prefix) == "Zip" ? "" : "CheckArchive");
  if (check) {
    EXPECT_NE(check(archive.c_str(), CHECKARCHIVE_FULLCRC), 0);
  }
}

std::string LhaCreate(const std::string& a, const std::string& s) {
  return "a -+ -r1 -x1  " + Q(a) + " " + Q(s) + " \"*.*\" ";
}
std::string TarCreate(const char* filter, const std::string& a, const std::string& s) {
  return std::string("c ") + filter + "  -f " + Q(a) + " -o " + Q(s) + " \"*\" ";
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CreatedArchive,
    ::testing::Values(
        Format{"lzh", "UNLHA32.DLL", "Unlha", "a.lzh", LhaCreate,
               {"LC_ALL=C lhasa xq ../", kBsdtarCp932}, true, false, true, "x -+ -x1  \"%A\" \"%D\" "},
        Format{"tar", "tar32.dll", "Tar", "a.tar",
               [](const std::string& a, const std::string& s) { return TarCreate("", a, s); },
               {kBsdtarCp932}, false, true, true, "x --use-directory=1  -f \"%A\" -o \"%D\" "},
        Format{"tgz", "tar32.dll", "Tar", "a.tgz",
               [](const std::string& a, const std::string& s) { return TarCreate("-z9", a, s); },
               {kBsdtarCp932}, false, true, true, "x --use-directory=1  -f \"%A\" -o \"%D\" "},
        Format{"tbz", "tar32.dll", "Tar", "a.tar.bz2",
               [](const std::string& a, const std::string& s) { return TarCreate("-B", a, s); },
               {kBsdtarCp932}, false, true, true, "x --use-directory=1  -f \"%A\" -o \"%D\" "},
        Format{"cab", "CAB32.DLL", "Cab", "a.cab",
               [](const std::string& a, const std::string& s) { return "-a -r  " + Q(a) + " " + Q(s) + " \"*.*\" "; },
               // cabextract splits names at every 0x5C byte, so no "ソ" here.
               {"LC_ALL=C cabextract -q -e CP932 ../"}, false, true, false, "-x  \"%A\" \"%D\" "}),
    [](const ::testing::TestParamInfo<Format>& p) { return std::string(p.param.name); });

// ZIP32J writes, UNZIP32 reads back; 7-Zip and bsdtar are the references
// (7-Zip writes names without the UTF-8 flag as the bytes stored).
TEST(CreatedZip, ExtractsIdenticallyEverywhere) {
  test_support::TempDir dir;
  MakeSongTree(dir, true);
  ArcLibrary zip("ZIP32J.DLL", "Zip"), unzip("UNZIP32.DLL", "UnZip");
  std::string archive = dir.Path() + "a.zip";
  std::string output;
  ASSERT_EQ(zip.Command(" -D -r -9  " + Q(archive) + " " + Q(dir.Path() + "src/") + " \"*.*\" ", &output), 0)
      << output;
  auto expected = FilesUnder(dir.Path() + "src");
  expected.erase(".hidden");
  const char* refs[] = {"LC_ALL=C.UTF-8 bsdtar --options hdrcharset=CP932 -xf ../a.zip",
                        "LC_ALL=C.UTF-8 7zz x -y -bso0 -bsp0 ../a.zip"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(refs[i]);
    std::string ref = "ref" + std::to_string(i);
    dir.Write(ref + "/.keep", "");
    ASSERT_EQ(Shell(dir.Path() + ref, std::string("rm .keep && ") + refs[i]), 0);
    auto got = FilesUnder(dir.Path() + ref);
    EXPECT_TRUE((i == 0 ? got : AsUtf8Names(got)) == expected);
  }
  EXPECT_EQ(Shell(dir.Path(), "unzip -tqq a.zip"), 0);
  ASSERT_EQ(unzip.Command("-x  " + Q(archive) + " " + Q(dir.Path() + "ours/") + " "), 0);
  EXPECT_TRUE(FilesUnder(dir.Path() + "ours") == expected);
  EXPECT_NE(unzip.Entry<ARC_CHECK_FN>("CheckArchive")(archive.c_str(), CHECKARCHIVE_FULLCRC), 0);
}

// A name CP932 cannot hold: ZIP stores it as UTF-8 with the flag; LZH has
// no way to say so and refuses the file before writing anything.
TEST(CreatedZip, NamesOutsideCp932GoAsFlaggedUtf8) {
  test_support::TempDir dir;
  dir.Write("src/한국어.bms", "k");
  dir.Write("src/曲.bms", "j");
  ArcLibrary zip("ZIP32J.DLL", "Zip"), lha("UNLHA32.DLL", "Unlha");
  ASSERT_EQ(zip.Command(" -D  " + Q(dir.Path() + "a.zip") + " " + Q(dir.Path() + "src/") + " \"*.*\" "), 0);
  // 7-Zip writes a flagged name as UTF-8 and an unflagged one as its bytes:
  // the flag must be on exactly the name CP932 cannot hold.
  ASSERT_EQ(Shell(dir.Path() + "src", "mkdir ../ref && cd ../ref && LC_ALL=C.UTF-8 7zz x -y -bso0 -bsp0 ../a.zip"), 0);
  std::map<std::string, std::string> expected{{"한국어.bms", "k"}, {test_support::Sjis("曲.bms"), "j"}};
  EXPECT_TRUE(FilesUnder(dir.Path() + "ref") == expected);
  std::string out;
  EXPECT_EQ(lha.Command("a -+  " + Q(dir.Path() + "a.lzh") + " " + Q(dir.Path() + "src/") + " \"*.*\" ", &out),
            ERROR_NOT_FILENAME);
  EXPECT_FALSE(out.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "a.lzh"));
}

}  // namespace
