// SPDX-License-Identifier: MIT
// Extraction through the real libraries, checked against the reference
// extractors (bsdtar, lhasa) on archives the Debian archivers make.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::Shell;
using test_support::ShellQuote;

constexpr const char* kUtf8 = "LC_ALL=C.UTF-8 ";

// A small song folder: charts, "audio", a nested folder, a Japanese name.
void MakeSongTree(const test_support::TempDir& dir) {
  dir.Write("src/song/a.bms", test_support::TextBytes(5000, 1));
  dir.Write("src/song/bgm.ogg", test_support::NoiseBytes(300000, 2));
  dir.Write("src/song/sub/kick.wav", test_support::NoiseBytes(40000, 3));
  dir.Write("src/readme.txt", test_support::TextBytes(700, 4));
  dir.Write("src/ソフラン表.bms", test_support::TextBytes(900, 5));
  ASSERT_EQ(Shell(dir.Path() + "src", "find . -exec touch -h -d '2001-02-03 04:05:06' {} +"), 0);
}

struct Format {
  const char* name;
  const char* library;
  const char* prefix;
  const char* archive;
  std::string make;       // run in src/, writes ../<archive>
  std::string reference;  // run in ref/, extracts ../<archive>
  std::function<std::string(const std::string& archive, const std::string& dest, bool keep)> line;
};

std::string LhaLine(const std::string& a, const std::string& d, bool keep) {
  return std::string("x -+ -x") + (keep ? "1" : "0") + "  \"" + a + "\" \"" + d + "\" ";
}
std::string ZipLine(const std::string& a, const std::string& d, bool keep) {
  return std::string("-x") + (keep ? "" : " -j") + "  \"" + a + "\" \"" + d + "\" ";
}
std::string TarLine(const std::string& a, const std::string& d, bool keep) {
  return std::string("x --use-directory=") + (keep ? "1" : "0") + "  -f \"" + a + "\" -o \"" + d + "\" ";
}

// Names the reference wrote as raw CP932 bytes, turned into our UTF-8.
std::map<std::string, std::string> AsUtf8Names(const std::map<std::string, std::string>& files) {
  std::map<std::string, std::string> out;
  for (auto& [n, b] : files) out[platform::Cp932ToUtf8(n)] = b;
  return out;
}

class FormatTest : public ::testing::TestWithParam<Format> {};

TEST_P(FormatTest, ExtractsTheSameNamesBytesAndDatesAsTheReference) {
  const Format& f = GetParam();
  test_support::TempDir dir;
  MakeSongTree(dir);
  ASSERT_EQ(Shell(dir.Path() + "src", f.make), 0) << f.make;
  ASSERT_EQ(Shell(dir.Path(), "mkdir ref && cd ref && " + f.reference), 0) << f.reference;
  auto reference = FilesUnder(dir.Path() + "ref");
  if (std::string(f.name) == "lzh") reference = AsUtf8Names(reference);
  ASSERT_GE(reference.size(), 5u);

  ArcLibrary lib(f.library, f.prefix);
  ASSERT_TRUE(lib.Loaded()) << f.library;
  std::string archive = dir.Path() + f.archive;
  ASSERT_EQ(lib.Command(f.line(archive, dir.Path() + "keep/", true)), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "keep"), reference);
  EXPECT_EQ(test_support::MtimeOf(dir.Path() + "keep/song/a.bms"), test_support::MtimeOf(dir.Path() + "ref/song/a.bms"));

  ASSERT_EQ(lib.Command(f.line(archive, dir.Path() + "flat/", false)), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "flat"), test_support::Flattened(reference));

  // A second run replaces what is there.
  test_support::WriteBytes(dir.Path() + "flat/a.bms", "stale");
  ASSERT_EQ(lib.Command(f.line(archive, dir.Path() + "flat/", false)), 0);
  EXPECT_EQ(test_support::ReadBytes(dir.Path() + "flat/a.bms"), reference["song/a.bms"]);
}

const std::string kAllFiles = "$(find . -type f | sort)";

INSTANTIATE_TEST_SUITE_P(
    Libraries, FormatTest,
    ::testing::Values(
        Format{"zip_utf8", "UNZIP32.DLL", "UnZip", "a.zip", std::string(kUtf8) + "bsdtar -c --format zip -f ../a.zip .",
               std::string(kUtf8) + "bsdtar -xf ../a.zip", ZipLine},
        Format{"zip_cp932", "UNZIP32.DLL", "UnZip", "a.zip",
               std::string(kUtf8) + "bsdtar -c --format zip --options zip:hdrcharset=CP932 -f ../a.zip .",
               std::string(kUtf8) + "bsdtar --options hdrcharset=CP932 -xf ../a.zip", ZipLine},
        Format{"lmzip", "LMZIP32.DLL", "Unzip", "a.zip", std::string(kUtf8) + "bsdtar -c --format zip -f ../a.zip .",
               std::string(kUtf8) + "bsdtar -xf ../a.zip", ZipLine},
        Format{"tar", "tar32.dll", "Tar", "a.tar", std::string(kUtf8) + "bsdtar -cf ../a.tar .",
               std::string(kUtf8) + "bsdtar -xf ../a.tar", TarLine},
        Format{"tgz", "tar32.dll", "Tar", "a.tgz", std::string(kUtf8) + "bsdtar -czf ../a.tgz .",
               std::string(kUtf8) + "bsdtar -xf ../a.tgz", TarLine},
        Format{"tbz", "tar32.dll", "Tar", "a.tar.bz2", std::string(kUtf8) + "bsdtar -cjf ../a.tar.bz2 .",
               std::string(kUtf8) + "bsdtar -xf ../a.tar.bz2", TarLine},
        Format{"taz", "tar32.dll", "Tar", "a.taz", std::string(kUtf8) + "bsdtar -cZf ../a.taz .",
               std::string(kUtf8) + "bsdtar -xf ../a.taz", TarLine},
        // jlha writes Shift-JIS names with "y"; lhasa writes them back raw.
        Format{"lzh", "UNLHA32.DLL", "Unlha", "a.lzh",
               "JAVA_TOOL_OPTIONS=-Dsun.jnu.encoding=UTF-8 LC_ALL=C.UTF-8 jlha ay ../a.lzh " + kAllFiles,
               "lhasa xq ../a.lzh", LhaLine}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SingleCompressedFile, NamedFromTheGzipHeaderOrTheArchive) {
  test_support::TempDir dir;
  std::string text = test_support::TextBytes(20000, 9);
  dir.Write("chart.bms", text);
  ASSERT_EQ(Shell(dir.Path(), "gzip -c chart.bms > renamed.gz && gzip -nc chart.bms > plain.bms.gz && "
                            "bzip2 -c chart.bms > other.bms.bz2 && bsdtar -c --format raw -Z -f z.bms.Z chart.bms"),
            0);
  ArcLibrary tar("tar32.dll", "Tar");
  struct Case {
    std::string archive, expected;
  } cases[] = {{"renamed.gz", "chart.bms"}, {"plain.bms.gz", "plain.bms"}, {"other.bms.bz2", "other.bms"}, {"z.bms.Z", "z.bms"}};
  for (const auto& c : cases) {
    std::string out = dir.Path() + "out-" + c.archive + "/";
    ASSERT_EQ(tar.Command("x --use-directory=0 -z  -f \"" + dir.Path() + c.archive + "\" -o \"" + out + "\" "), 0) << c.archive;
    EXPECT_EQ(FilesUnder(out), (std::map<std::string, std::string>{{c.expected, text}})) << c.archive;
  }
}

TEST(TarGetArchiveType, AnswersPerCompressionAndContents) {
  test_support::TempDir dir;
  dir.Write("f.txt", test_support::TextBytes(3000, 1));
  ASSERT_EQ(Shell(dir.Path(), "bsdtar -cf a.tar f.txt && bsdtar -czf a.tgz f.txt && bsdtar -cZf a.taz f.txt && "
                            "gzip -c f.txt > f.gz && bsdtar -c --format raw -Z -f f.Z f.txt && "
                            "bsdtar -cjf a.tbz f.txt && bzip2 -c f.txt > f.bz2 && bsdtar -c --format zip -f a.zip f.txt"),
            0);
  ArcLibrary tar("tar32.dll", "Tar");
  auto type = tar.Entry<ARC_GETTYPE_FN>("GetArchiveType");
  ASSERT_TRUE(type);
  struct Case {
    std::string file;
    int expected;
  } cases[] = {{"a.tar", ARCHIVETYPE_TAR}, {"a.tgz", ARCHIVETYPE_TARGZ}, {"a.taz", ARCHIVETYPE_TARZ},
               {"f.gz", ARCHIVETYPE_GZ},   {"f.Z", ARCHIVETYPE_Z},       {"a.tbz", ARCHIVETYPE_TARBZ2},
               {"f.bz2", ARCHIVETYPE_BZ2}, {"a.zip", ARCHIVETYPE_NONE},  {"f.txt", ARCHIVETYPE_NONE},
               {"missing", ARCHIVETYPE_NONE}};
  for (const auto& c : cases) EXPECT_EQ(type((dir.Path() + c.file).c_str()), c.expected) << c.file;
}

TEST(ShiftJisNames, LzhHeaderLevelsZeroToTwo) {
  // "ソ" and "表" end in the byte of "\", which must not split them.
  std::vector<test_support::RawEntry> entries = {
      {test_support::Sjis("ソフラン/表.bms"), "chart"},
      {test_support::Sjis("ソフラン/音/kick.wav"), test_support::NoiseBytes(3000, 1)},
      {"top.txt", "top"},
  };
  ArcLibrary lha("UNLHA32.DLL", "Unlha");
  for (int level : {0, 1, 2}) {
    test_support::TempDir dir;
    std::string archive = dir.Write("s.lzh", test_support::MakeStoredLzh(entries, level));
    ASSERT_EQ(lha.Command(LhaLine(archive, dir.Path() + "keep/", true)), 0) << level;
    EXPECT_EQ(FilesUnder(dir.Path() + "keep"),
              (std::map<std::string, std::string>{
                  {"ソフラン/表.bms", "chart"}, {"ソフラン/音/kick.wav", entries[1].data}, {"top.txt", "top"}}))
        << level;
    EXPECT_EQ(test_support::MtimeOf(dir.Path() + "keep/top.txt"), entries[2].mtime) << level;
    ASSERT_EQ(lha.Command(LhaLine(archive, dir.Path() + "flat/", false)), 0);
    EXPECT_EQ(FilesUnder(dir.Path() + "flat"),
              (std::map<std::string, std::string>{{"表.bms", "chart"}, {"kick.wav", entries[1].data}, {"top.txt", "top"}}));
  }
}

TEST(ShiftJisNames, ZipUtf8FlagDecidesTheCoding) {
  test_support::TempDir dir;
  std::string sjis = dir.Write("sjis.zip", test_support::MakeStoredZip({{test_support::Sjis("ソ/表.bms"), "x"}}, false));
  std::string utf8 = dir.Write("utf8.zip", test_support::MakeStoredZip({{"ソ/表.bms", "y"}}, true));
  ArcLibrary zip("UNZIP32.DLL", "UnZip");
  ASSERT_EQ(zip.Command(ZipLine(sjis, dir.Path() + "a/", true)), 0);
  ASSERT_EQ(zip.Command(ZipLine(utf8, dir.Path() + "b/", true)), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "a"), (std::map<std::string, std::string>{{"ソ/表.bms", "x"}}));
  EXPECT_EQ(FilesUnder(dir.Path() + "b"), (std::map<std::string, std::string>{{"ソ/表.bms", "y"}}));
}

TEST(FileLists, SelectAndExclude) {
  test_support::TempDir dir;
  std::string archive = dir.Write("a.lzh", test_support::MakeStoredLzh({{"s/a.bms", "1"}, {"s/b.wav", "2"}, {"c.BMS", "3"}}, 2));
  ArcLibrary lha("UNLHA32.DLL", "Unlha");
  ASSERT_EQ(lha.Command("x -x1 \"" + archive + "\" \"" + dir.Path() + "sel/\" *.bms"), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "sel"), (std::map<std::string, std::string>{{"s/a.bms", "1"}, {"c.BMS", "3"}}));
  ASSERT_EQ(lha.Command("x -x1 \"-jx*.wav\" \"" + archive + "\" \"" + dir.Path() + "exc/\""), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "exc"), (std::map<std::string, std::string>{{"s/a.bms", "1"}, {"c.BMS", "3"}}));
  dir.Write("list.txt", "\"s/b.wav\"\r\n");
  ASSERT_EQ(lha.Command("x -x1 \"" + archive + "\" \"" + dir.Path() + "rsp/\" \"@" + dir.Path() + "list.txt\""), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "rsp"), (std::map<std::string, std::string>{{"s/b.wav", "2"}}));
}

TEST(Libraries, AcceptOnlyTheirOwnFormats) {
  test_support::TempDir dir;
  std::string zip = dir.Write("a.zip", test_support::MakeStoredZip({{"x.txt", "x"}}, false));
  std::string lzh = dir.Write("a.lzh", test_support::MakeStoredLzh({{"x.txt", "x"}}, 2));
  std::string junk = dir.Write("junk.lzh", test_support::NoiseBytes(5000, 7));
  ArcLibrary lha("UNLHA32.DLL", "Unlha"), unzip("UNZIP32.DLL", "UnZip"), tar("tar32.dll", "Tar");
  std::string out = dir.Path() + "out/";
  EXPECT_EQ(lha.Command(LhaLine(zip, out, true)), ERROR_NOT_ARC_FILE);
  EXPECT_EQ(lha.Command(LhaLine(junk, out, true)), ERROR_NOT_ARC_FILE);
  EXPECT_EQ(unzip.Command(ZipLine(lzh, out, true)), ERROR_NOT_ARC_FILE);
  EXPECT_EQ(tar.Command(TarLine(zip, out, true)), ERROR_NOT_ARC_FILE);
  EXPECT_EQ(tar.Command(TarLine(junk, out, true)), ERROR_NOT_ARC_FILE);
  EXPECT_EQ(lha.Command(LhaLine(dir.Path() + "missing.lzh", out, true)), ERROR_ARC_FILE_OPEN);
  EXPECT_TRUE(FilesUnder(out).empty());
}

TEST(Libraries, ZipWithAMissingFileMakesNoArchive) {
  test_support::TempDir dir;
  for (const char* name : {"ZIP32J.DLL", "LMZIP32.DLL"}) {
    ArcLibrary lib(name, "Zip");
    std::string output;
    EXPECT_EQ(lib.Command(" -D  \"" + dir.Path() + "a.zip\" \"" + dir.Path() + "\" \"x.txt\" ", &output),
              ERROR_NOT_FIND_FILE)
        << name;
    EXPECT_FALSE(output.empty());
    EXPECT_TRUE(FilesUnder(dir.Path()).empty()) << name;
  }
}

}  // namespace
