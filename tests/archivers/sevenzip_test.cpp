// SPDX-License-Identifier: MIT
// 7-ZIP32.DLL on archives 7zz makes at test time: every method and filter
// unpacks as `7zz x` unpacks it; encryption, a cut and damage are errors
// that write no part of a file.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "archiver_api.h"
#include "tests/support/arc_library.h"
#include "tests/support/files.h"

using namespace std::string_literals;

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::Shell;
using test_support::ShellQuote;
using test_support::TempDir;
using test_support::TreeOf;

using Files = std::map<std::string, std::string>;

std::string SevenZipX(const std::string& archive, const std::string& dest, bool folders = true) {
  return std::string(folders ? "x" : "e") + " -y -o\"" + dest + "\" \"" + archive + "\"";
}

// A song folder: charts, a sound that does not compress, an x86-looking
// program for the branch filters, an empty file and an empty folder, and
// names beyond ASCII.
void MakeSong(TempDir& dir) {
  dir.Write("src/song/a.bms", test_support::TextBytes(30000, 1));
  dir.Write("src/song/sub/b.wav", test_support::NoiseBytes(200000, 2));
  dir.Write("src/song/曲/譜面 [A].bme", test_support::TextBytes(5000, 3));
  dir.Write("src/song/empty.txt", "");
  std::string code;
  for (int i = 0; i < 20000; ++i) code += std::string("\xE8") + static_cast<char>(i) + static_cast<char>(i >> 8) + "\0\0\x90\x55"s;
  dir.Write("src/song/tool.exe", code);
  ASSERT_EQ(Shell(dir.Path() + "src", "mkdir song/none"), 0);
}

TEST(SevenZip, EveryMethodAndFilterUnpacksAs7zzDoes) {
  TempDir dir;
  MakeSong(dir);
  const char* methods[] = {
      "-m0=LZMA",          "-m0=LZMA2 -mx=9",     "-m0=PPMd",          "-m0=Deflate",       "-m0=BZip2",
      "-m0=Copy",          "-ms=off",             "-mf=BCJ",           "-mf=BCJ2",          "-mf=ARM",
      "-mf=ARMT",          "-mf=PPC",             "-mf=SPARC",         "-mf=IA64",          "-mf=Delta:4",
      "-m0=LZMA2 -mmt=2 -ms=64k",
  };
  ArcLibrary sz("7-ZIP32.DLL", "SevenZip");
  ASSERT_TRUE(sz.Loaded());
  int n = 0;
  for (const char* method : methods) {
    std::string name = "m" + std::to_string(n++) + ".7z";
    std::string archive = dir.Path() + name;
    ASSERT_EQ(Shell(dir.Path() + "src", std::string("7zz a -bso0 -bsp0 ") + method + " " + ShellQuote(archive) + " song"), 0)
        << method;
    std::string ref = dir.Path() + "ref_" + name;
    ASSERT_EQ(Shell(dir.Path(), "7zz x -bso0 -bsp0 -o" + ShellQuote(ref) + " " + ShellQuote(archive)), 0) << method;
    std::string dest = dir.Path() + "dest_" + name + "/";
    EXPECT_EQ(sz.Command(SevenZipX(archive, dest)), 0) << method;
    EXPECT_TRUE(FilesUnder(dest) == FilesUnder(ref)) << method;
    EXPECT_EQ(TreeOf(dest), TreeOf(ref)) << method;
  }
  // e drops the folders; masks select by name in any folder.
  std::string flat = dir.Path() + "flat/";
  EXPECT_EQ(sz.Command(SevenZipX(dir.Path() + "m0.7z", flat, false) + " \"*.bm?\" -x!a.*"), 0);
  EXPECT_EQ(TreeOf(flat), (std::vector<std::string>{"譜面 [A].bme"}));
}

TEST(SevenZip, EncryptionIsAPasswordErrorForWhatItHides) {
  TempDir dir;
  dir.Write("src/a.bms", test_support::TextBytes(3000, 1));
  dir.Write("src/b.bms", test_support::TextBytes(3000, 2));
  // a.bms plain, b.bms added encrypted; then one with encrypted headers.
  ASSERT_EQ(Shell(dir.Path() + "src", "7zz a -bso0 ../mixed.7z a.bms && 7zz a -bso0 -psecret ../mixed.7z b.bms && "
                                      "7zz a -bso0 -psecret -mhe=on ../hidden.7z a.bms b.bms"),
            0);
  ArcLibrary sz("7-ZIP32.DLL", "SevenZip");
  EXPECT_EQ(sz.Command(SevenZipX(dir.Path() + "mixed.7z", dir.Path() + "mixed/")), ERROR_PASSWORD_FILE);
  EXPECT_TRUE(FilesUnder(dir.Path() + "mixed") == (Files{{"a.bms", test_support::TextBytes(3000, 1)}}));
  EXPECT_EQ(sz.Command(SevenZipX(dir.Path() + "hidden.7z", dir.Path() + "hidden/")), ERROR_PASSWORD_FILE);
  EXPECT_TRUE(FilesUnder(dir.Path() + "hidden").empty());
  // A password is refused, not tried.
  std::string out;
  EXPECT_EQ(sz.Command("x -psecret \"" + dir.Path() + "mixed.7z\"", &out), ERROR_NOT_SUPPORT);
}

// Cut anywhere or with a byte changed: an error, never a success, and no
// file that is not whole.
TEST(SevenZip, CutOrDamagedArchivesFailWithoutPartFiles) {
  TempDir dir;
  MakeSong(dir);
  ASSERT_EQ(Shell(dir.Path() + "src", "7zz a -bso0 -ms=off ../whole.7z song"), 0);
  std::string whole = test_support::ReadBytes(dir.Path() + "whole.7z");
  Files source = FilesUnder(dir.Path() + "src");
  struct Variant {
    const char* what;
    std::string bytes;
  };
  std::string flipped = whole;
  flipped[whole.size() / 3] ^= 0x55;
  std::vector<Variant> variants = {
      {"signature only", whole.substr(0, 32)},
      {"half", whole.substr(0, whole.size() / 2)},
      {"last byte cut", whole.substr(0, whole.size() - 1)},
      {"a data byte changed", flipped},
  };
  ArcLibrary sz("7-ZIP32.DLL", "SevenZip");
  for (const Variant& v : variants) {
    std::string archive = dir.Write(std::string(v.what) + ".7z", v.bytes);
    std::string dest = dir.Path() + "dest_" + v.what + "/";
    EXPECT_NE(sz.Command(SevenZipX(archive, dest)), 0) << v.what;
    for (auto& [name, bytes] : FilesUnder(dest))
      EXPECT_TRUE(bytes == source["song/" + name.substr(5)] || bytes == source[name]) << v.what << ": " << name;
  }
}

// A raw split set is read from its first volume as 7zz reads it; a later
// volume alone is no archive, and a set short of a volume names it.
TEST(SevenZip, SplitSetsReadFromTheFirstVolume) {
  TempDir dir;
  MakeSong(dir);
  ASSERT_EQ(Shell(dir.Path() + "src", "7zz a -bso0 -v60k ../set.7z song && test -f ../set.7z.004"), 0);
  ASSERT_EQ(Shell(dir.Path(), "7zz x -bso0 -oref set.7z.001"), 0);
  ArcLibrary sz("7-ZIP32.DLL", "SevenZip");
  EXPECT_EQ(sz.Command(SevenZipX(dir.Path() + "set.7z.001", dir.Path() + "dest/")), 0);
  EXPECT_TRUE(FilesUnder(dir.Path() + "dest") == FilesUnder(dir.Path() + "ref"));
  EXPECT_EQ(sz.Command(SevenZipX(dir.Path() + "set.7z.002", dir.Path() + "later/")), ERROR_NOT_ARC_FILE);
  ASSERT_EQ(Shell(dir.Path(), "mv set.7z.003 away"), 0);
  std::string out;
  EXPECT_EQ(sz.Command(SevenZipX(dir.Path() + "set.7z.001", dir.Path() + "short/"), &out), ERROR_UNEXPECTED_EOF);
  EXPECT_NE(out.find("set.7z.003"), std::string::npos) << out;
  EXPECT_TRUE(FilesUnder(dir.Path() + "short").empty());
}

TEST(SevenZip, ListsEntriesAndAnswersTheFamilyQueries) {
  TempDir dir;
  MakeSong(dir);
  ASSERT_EQ(Shell(dir.Path() + "src", "7zz a -bso0 ../s.7z song/a.bms song/sub/b.wav && cp ../s.7z ../s.7z.001 && "
                                      "head -c 1000 ../s.7z > ../part.7z.001"),
            0);
  ArcLibrary sz("7-ZIP32.DLL", "SevenZip");
  auto open = sz.Entry<ARC_OPEN_FN>("OpenArchive");
  auto first = sz.Entry<ARC_FINDFIRST_FN>("FindFirst");
  auto next = sz.Entry<ARC_FINDNEXT_FN>("FindNext");
  auto close = sz.Entry<ARC_CLOSE_FN>("CloseArchive");
  auto version = sz.Entry<uint16_t(ARC_API*)()>("GetVersion");
  auto running = sz.Entry<int(ARC_API*)()>("GetRunning");
  ASSERT_TRUE(open && first && next && close && version && running);
  EXPECT_GE(version(), 100);
  EXPECT_EQ(running(), 0);
  HARC h = open(0, (dir.Path() + "s.7z").c_str(), 0);
  ASSERT_NE(h, 0u);
  INDIVIDUALINFO info{};
  std::vector<std::string> names;
  for (int r = first(h, "", &info); r == 0; r = next(h, &info)) names.push_back(info.szFileName);
  EXPECT_EQ(names, (std::vector<std::string>{"song/a.bms", "song/sub/b.wav"}));
  EXPECT_EQ(next(h, &info), -1);
  close(h);
  // A whole archive named as a first volume opens; a real first volume,
  // or anything else, does not.
  EXPECT_NE(h = open(0, (dir.Path() + "s.7z.001").c_str(), 0), 0u);
  close(h);
  EXPECT_EQ(open(0, (dir.Path() + "part.7z.001").c_str(), 0), 0u);
  dir.Write("zip.7z", "PK\x03\x04 not a 7z");
  EXPECT_EQ(open(0, (dir.Path() + "zip.7z").c_str(), 0), 0u);
}

}  // namespace
