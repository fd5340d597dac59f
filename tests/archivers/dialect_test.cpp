// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "archiver_api.h"
#include "tests/support/archive_maker.h"
#include "archivers/shared/dialects.h"
#include "archivers/7z/7z_format.h"
#include "archivers/cab/cab_format.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/rar/rar_format.h"
#include "archivers/tar/tar_format.h"
#include "archivers/zip/zip_format.h"

namespace {

struct Case {
  const char* what;
  arc::DialectParser parse;
  std::string line;
  int result;
  std::string archive;
  std::string dest;
  bool keepFolders;
  std::vector<std::string> include;
  std::vector<std::string> exclude;
};

void Check(const Case& c) {
  arc::ExtractRequest req;
  int r = c.parse(arc::TokenizeCommandLine(c.line), req);
  EXPECT_EQ(r, c.result) << c.what;
  if (r != 0) return;
  EXPECT_EQ(req.archive, c.archive) << c.what;
  EXPECT_EQ(req.destDir, c.dest) << c.what;
  EXPECT_EQ(req.keepFolders, c.keepFolders) << c.what;
  EXPECT_EQ(req.include, c.include) << c.what;
  EXPECT_EQ(req.exclude, c.exclude) << c.what;
}

TEST(Dialects, LinesTheDriversSend) {
  const Case cases[] = {
      {"lha main window", arc::ParseLhaCommand, "x -+ -x0  \"/d/songs.lzh\" \"/t/work/\" ", 0, "/d/songs.lzh", "/t/work/", false, {}, {}},
      {"lha with owner window", arc::ParseLhaCommand, "x -+ -n1 -x0  \"/d/a.lzh\" \"/t/work/\" ", 0, "/d/a.lzh", "/t/work/", false, {}, {}},
      {"lha defaults keep folders", arc::ParseLhaCommand, "x -+  \"a.lzh\" \"w/\" ", 0, "a.lzh", "w/", true, {}, {}},
      {"lha -x1", arc::ParseLhaCommand, "x -+ -x1 \"a.lzh\" \"w/\"", 0, "a.lzh", "w/", true, {}, {}},
      {"lha bare -x", arc::ParseLhaCommand, "x -x a.lzh", 0, "a.lzh", "", true, {}, {}},
      {"lha e drops folders", arc::ParseLhaCommand, "e -x1 a.lzh w/", 0, "a.lzh", "w/", false, {}, {}},
      {"lha every builder switch", arc::ParseLhaCommand,
       "x -+ -a1 -c1 -e0 -f1 -h0 -i1 -l0 -m1 -n1 -o0 -p1 -r2 -s0 -t1 -u0 \"-w/tmp/\" -x1 -y0 -z1 -jc0 -jd1 -je0 "
       "-jf1 -jh0 -ji1 -jm2 -jn0 \"-joabc\" \"-jobq\" -jp1 -jr0 -jss1 -jw0 \"-jx*.wav\" \"-jx*.ogg\" -jyc0 -jyd1 "
       "-jyk0 -jyn1 -jyo0 \"-jzc\" -ga1 -gd0 -ge1 -gf0 -gj1 -gm0 -gn1 -go0 -gp1 \"-grx\" -gs0 -gu1 -gw0  \"a.lzh\" \"w/\" ",
       0, "a.lzh", "w/", true, {}, {"*.wav", "*.ogg"}},
      {"lha files after dest", arc::ParseLhaCommand, "x a.lzh w/ \"x y.bms\" *.txt ", 0, "a.lzh", "w/", true, {"x y.bms", "*.txt"}, {}},
      {"lha no dest, files", arc::ParseLhaCommand, "x a.lzh one.bms", 0, "a.lzh", "", true, {"one.bms"}, {}},
      {"lha unknown switch", arc::ParseLhaCommand, "x -q9z a.lzh", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"lha creation", arc::ParseLhaCommand, "a a.lzh x.txt", ERROR_NOT_SUPPORT, "", "", true, {}, {}},
      {"lha unknown command", arc::ParseLhaCommand, "zz a.lzh", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"lha no archive", arc::ParseLhaCommand, "x -+ -x0  ", ERROR_NOT_FIND_ARC_FILE, "", "", true, {}, {}},
      {"zip main window", arc::ParseZipCommand, "-x -j  \"/d/a.zip\" \"/t/work/\" ", 0, "/d/a.zip", "/t/work/", false, {}, {}},
      {"zip owner window, -o", arc::ParseZipCommand, "-x -o --i -j  \"a.zip\" \"w/\" ", 0, "a.zip", "w/", false, {}, {}},
      {"zip keeps folders", arc::ParseZipCommand, "-x  \"a.zip\" \"w/\" \"sub/a[[]1].mid\"", 0, "a.zip", "w/", true, {"sub/a[[]1].mid"}, {}},
      {"zip unknown switch", arc::ParseZipCommand, "-x -Z a.zip", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"zip other command", arc::ParseZipCommand, "-Z a.zip", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"cab main window", arc::ParseCabCommand, "-x -j  \"/d/a.cab\" \"/t/work/\" ", 0, "/d/a.cab", "/t/work/", false, {}, {}},
      {"cab all switches", arc::ParseCabCommand, "-x -o -i -r -q  \"a.cab\" \"w/\" ", 0, "a.cab", "w/", true, {}, {}},
      {"cab add", arc::ParseCabCommand, "-a a.cab x", ERROR_NOT_SUPPORT, "", "", true, {}, {}},
      {"rar main window", arc::ParseRarCommand, "-e -u  \"/d/a.rar\" \"/t/work/\" ", 0, "/d/a.rar", "/t/work/", false, {}, {}},
      {"rar with folders", arc::ParseRarCommand, "-x -y -s  \"a.rar\" \"w/\" ", 0, "a.rar", "w/", true, {}, {}},
      {"tar main window", arc::ParseTarCommand, "x --use-directory=0  -f \"/d/a.tar\" -o \"/t/work/\" ", 0, "/d/a.tar", "/t/work/", false, {}, {}},
      {"tgz main window", arc::ParseTarCommand, "x --use-directory=0 -z  -f \"a.tgz\" -o \"w/\" ", 0, "a.tgz", "w/", false, {}, {}},
      {"tbz level", arc::ParseTarCommand, "x --use-directory=1 -B9 -AH --display-dialog=0 -g --check-all-path=1  -f \"a.bz2\" -o \"w/\" \"x.bms\" ",
       0, "a.bz2", "w/", true, {"x.bms"}, {}},
      // The main window's lines with the chart masks of a charts-only drop.
      {"lha charts only", arc::ParseLhaCommand, "x -+ -x0  \"/d/a.lzh\" \"/t/work/\" \"*.bms\" \"*.bme\" ", 0, "/d/a.lzh", "/t/work/", false, {"*.bms", "*.bme"}, {}},
      {"zip charts only", arc::ParseZipCommand, "-x -j  \"/d/a.zip\" \"/t/work/\" \"*.bms\" \"*.bme\" ", 0, "/d/a.zip", "/t/work/", false, {"*.bms", "*.bme"}, {}},
      {"cab charts only", arc::ParseCabCommand, "-x -j  \"/d/a.cab\" \"/t/work/\" \"*.bms\" ", 0, "/d/a.cab", "/t/work/", false, {"*.bms"}, {}},
      {"rar charts only", arc::ParseRarCommand, "-e -u  \"/d/a.rar\" \"/t/work/\" \"*.bms\" \"*.pms\" ", 0, "/d/a.rar", "/t/work/", false, {"*.bms", "*.pms"}, {}},
      {"tgz charts only", arc::ParseTarCommand, "x --use-directory=0 -z  -f \"/d/a.tgz\" -o \"/t/work/\" \"*.bms\" \"*.bml\" ", 0, "/d/a.tgz", "/t/work/", false, {"*.bms", "*.bml"}, {}},
      {"tar -I", arc::ParseTarCommand, "x -I -f a.tar", 0, "a.tar", "", true, {}, {}},
      {"tar without -f", arc::ParseTarCommand, "x a.tar w/", 0, "a.tar", "w/", true, {}, {}},
      {"tar -f at the end", arc::ParseTarCommand, "x -f", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"tar create", arc::ParseTarCommand, "c -f a.tar x", ERROR_NOT_SUPPORT, "", "", true, {}, {}},
      {"tar unknown switch", arc::ParseTarCommand, "x -q -f a.tar", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      // 7-Zip style: -o joined to its folder, switches anywhere, masks after the archive.
      {"7z main window", arc::ParseSevenZipCommand, "e -y -o\"/t/work/\" \"/d/a.7z\" ", 0, "/d/a.7z", "/t/work/", false, {}, {}},
      {"7z x, charts only", arc::ParseSevenZipCommand, "x -y -o\"w\" \"a.7z\" \"*.bms\" \"*.bme\" ", 0, "a.7z", "w", true, {"*.bms", "*.bme"}, {}},
      {"7z whole switch quoted", arc::ParseSevenZipCommand, "X \"-o/a b/\" a.7z -Y", 0, "a.7z", "/a b/", true, {}, {}},
      {"7z masks and filters", arc::ParseSevenZipCommand, "x a.7z sub/ -x!*.wav -xr!*.ogg -i!*.bml -r -aoa -bd -bb1 -- -n.bms",
       0, "a.7z", "", true, {"sub/", "*.bml", "-n.bms"}, {"*.wav", "*.ogg"}},
      {"7z dashed name after --", arc::ParseSevenZipCommand, "x -- \"-a.7z\"", 0, "-a.7z", "", true, {}, {}},
      {"7z password", arc::ParseSevenZipCommand, "x -psecret a.7z", ERROR_NOT_SUPPORT, "", "", true, {}, {}},
      {"7z update", arc::ParseSevenZipCommand, "u a.7z x", ERROR_NOT_SUPPORT, "", "", true, {}, {}},
      {"7z add", arc::ParseSevenZipCommand, "a a.7z x", ERROR_NOT_SUPPORT, "", "", true, {}, {}},
      {"7z -o without folder", arc::ParseSevenZipCommand, "x -o a.7z", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"7z exclude without !", arc::ParseSevenZipCommand, "x -x*.wav a.7z", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"7z unknown switch", arc::ParseSevenZipCommand, "x -q a.7z", ERROR_COMMAND_NAME, "", "", true, {}, {}},
      {"7z no archive", arc::ParseSevenZipCommand, "x -y", ERROR_NOT_FIND_ARC_FILE, "", "", true, {}, {}},
  };
  for (const auto& c : cases) Check(c);
}

TEST(Dialects, ResponseFileNamesJoinTheFileList) {
  test_support::TempDir dir;
  std::string list = dir.Write("resp.txt", "\"a b.bms\"\r\nsub/c.wav\r\n");
  arc::ExtractRequest req;
  ASSERT_EQ(arc::ParseLhaCommand(arc::TokenizeCommandLine("x a.lzh w/ first.txt \"@" + list + "\" "), req), 0);
  EXPECT_EQ(req.include, (std::vector<std::string>{"first.txt", "a b.bms", "sub/c.wav"}));
  arc::ExtractRequest bad;
  EXPECT_EQ(arc::ParseZipCommand(arc::TokenizeCommandLine("-x a.zip w/ \"@" + dir.Path() + "none\""), bad), ERROR_RESPONSE_READ);
}

TEST(Dialects, DestinationEndingInADoubleByteCharacterIsAFileName) {
  // 0x95 0x5C ("表") ends in the byte of "\" but is no delimiter.
  arc::ExtractRequest req;
  ASSERT_EQ(arc::ParseLhaCommand(arc::TokenizeCommandLine("x a.lzh \"\x95\x5C\""), req), 0);
  EXPECT_EQ(req.destDir, "");
  EXPECT_EQ(req.include, (std::vector<std::string>{"\x95\x5C"}));
}

// The family's other common forms: what each command word asks for, and
// the archive, destination and names it takes.
TEST(Dialects, ListingTestingAndClusteredForms) {
  using Kind = arc::CommandKind;
  struct FormCase {
    const char* what;
    arc::DialectParser parse;
    std::string line;
    int result;
    Kind kind;
    std::string archive;
    std::string dest;
    bool keepFolders;
    std::vector<std::string> include;
  };
  const FormCase cases[] = {
      {"lha l", arc::ParseLhaCommand, "l a.lzh", 0, Kind::list, "a.lzh", "", true, {}},
      {"lha v with switch and names", arc::ParseLhaCommand, "v -+ a.lzh *.bms", 0, Kind::list, "a.lzh", "", true, {"*.bms"}},
      {"lha t", arc::ParseLhaCommand, "T a.lzh", 0, Kind::test, "a.lzh", "", true, {}},
      {"lha p still refused", arc::ParseLhaCommand, "p a.lzh", ERROR_NOT_SUPPORT, Kind::extract, "", "", true, {}},
      {"zip -l", arc::ParseZipCommand, "-l a.zip", 0, Kind::list, "a.zip", "", true, {}},
      {"zip -v", arc::ParseZipCommand, "-v -q a.zip x.bms", 0, Kind::list, "a.zip", "", true, {"x.bms"}},
      {"zip -t", arc::ParseZipCommand, "-t a.zip", 0, Kind::test, "a.zip", "", true, {}},
      {"cab -l", arc::ParseCabCommand, "-l a.cab", 0, Kind::list, "a.cab", "", true, {}},
      {"cab -t", arc::ParseCabCommand, "-t a.cab", 0, Kind::test, "a.cab", "", true, {}},
      {"rar x without dash", arc::ParseRarCommand, "x a.rar w/", 0, Kind::extract, "a.rar", "w/", true, {}},
      {"rar e without dash", arc::ParseRarCommand, "e a.rar w/", 0, Kind::extract, "a.rar", "w/", false, {}},
      {"rar l", arc::ParseRarCommand, "l a.rar", 0, Kind::list, "a.rar", "", true, {}},
      {"rar -v", arc::ParseRarCommand, "-v a.rar", 0, Kind::list, "a.rar", "", true, {}},
      {"rar t", arc::ParseRarCommand, "t a.rar", 0, Kind::test, "a.rar", "", true, {}},
      {"rar unknown", arc::ParseRarCommand, "-q a.rar", ERROR_COMMAND_NAME, Kind::extract, "", "", true, {}},
      {"7z l", arc::ParseSevenZipCommand, "l a.7z", 0, Kind::list, "a.7z", "", true, {}},
      {"7z t with mask", arc::ParseSevenZipCommand, "t a.7z *.bms", 0, Kind::test, "a.7z", "", true, {"*.bms"}},
      {"tar -xvf", arc::ParseTarCommand, "-xvf a.tar", 0, Kind::extract, "a.tar", "", true, {}},
      {"tar xvf with dest and names", arc::ParseTarCommand, "xvf a.tar w/ x.bms", 0, Kind::extract, "a.tar", "w/", true, {"x.bms"}},
      {"tar -zxvf", arc::ParseTarCommand, "-zxvf a.tgz -o w/", 0, Kind::extract, "a.tgz", "w/", true, {}},
      {"tar -jxvf", arc::ParseTarCommand, "-jxvf a.tbz", 0, Kind::extract, "a.tbz", "", true, {}},
      {"tar -x -f -o", arc::ParseTarCommand, "-x -f a.tar -o w/", 0, Kind::extract, "a.tar", "w/", true, {}},
      {"tar -tvf", arc::ParseTarCommand, "-tvf a.tar", 0, Kind::list, "a.tar", "", true, {}},
      {"tar tvf", arc::ParseTarCommand, "tvf a.tar", 0, Kind::list, "a.tar", "", true, {}},
      {"tar two commands", arc::ParseTarCommand, "-xtf a.tar", ERROR_COMMAND_NAME, Kind::extract, "", "", true, {}},
      {"tar two filters", arc::ParseTarCommand, "-zjxf a.tar", ERROR_COMMAND_NAME, Kind::extract, "", "", true, {}},
      {"tar unknown letter", arc::ParseTarCommand, "-xqf a.tar", ERROR_COMMAND_NAME, Kind::extract, "", "", true, {}},
      {"tar no command letter", arc::ParseTarCommand, "-vf a.tar", ERROR_COMMAND_NAME, Kind::extract, "", "", true, {}},
      {"tar long switch is no command", arc::ParseTarCommand, "--xvf a.tar", ERROR_COMMAND_NAME, Kind::extract, "", "", true, {}},
      {"tar -cvf is creation", arc::ParseTarCommand, "-cvf a.tar x", ERROR_NOT_SUPPORT, Kind::extract, "", "", true, {}},
  };
  for (const FormCase& c : cases) {
    arc::ExtractRequest req;
    int r = c.parse(arc::TokenizeCommandLine(c.line), req);
    EXPECT_EQ(r, c.result) << c.what;
    if (r != 0) continue;
    EXPECT_EQ(req.kind, c.kind) << c.what;
    EXPECT_EQ(req.archive, c.archive) << c.what;
    EXPECT_EQ(req.destDir, c.dest) << c.what;
    EXPECT_EQ(req.keepFolders, c.keepFolders) << c.what;
    EXPECT_EQ(req.include, c.include) << c.what;
  }
}

}  // namespace
