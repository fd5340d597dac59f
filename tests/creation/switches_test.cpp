// SPDX-License-Identifier: MIT
// The creating switches that change what goes into an archive, read back
// as the list of stored names.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "archivers/shared/reader_opener.h"
#include "archivers/cab/cab_format.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/tar/tar_format.h"
#include "archivers/zip/zip_format.h"

namespace {

using test_support::ArcLibrary;
using test_support::TempDir;

struct SwitchCase {
  const char* what;
  const char* library;
  const char* prefix;
  const char* archive;
  std::string line;  // %A archive, %S source folder
  arc::ReaderOpener open;
  std::vector<std::string> names;  // sorted, folders with a trailing "/"
};

std::vector<std::string> StoredNames(arc::ReaderOpener open, const std::string& path) {
  std::vector<std::string> out;
  auto reader = open(path);
  arc::EntryInfo info;
  while (reader->Next(info)) {
    std::string n = info.name;
    while (!n.empty() && n.back() == '/') n.pop_back();
    out.push_back(n + (info.isDirectory ? "/" : ""));
  }
  std::sort(out.begin(), out.end());
  return out;
}

class Switches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(Switches, SelectAndNameTheEntries) {
  const SwitchCase& c = GetParam();
  TempDir dir;
  dir.Write("src/a.bms", "a");
  dir.Write("src/.hidden", "h");
  dir.Write("src/song/b.bms", "b");
  dir.Write("src/song/b.wav", "w");
  dir.Write("src/song/deep/c.bms", "c");
  std::string line = c.line;
  line.replace(line.find("%A"), 2, "\"" + dir.Path() + c.archive + "\"");
  line.replace(line.find("%S"), 2, "\"" + dir.Path() + "src/\"");
  ArcLibrary lib(c.library, c.prefix);
  std::string out;
  ASSERT_EQ(lib.Command(line, &out), 0) << out;
  EXPECT_EQ(StoredNames(c.open, dir.Path() + c.archive), c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Creation, Switches,
    ::testing::Values(
        SwitchCase{"lha_top_only", "UNLHA32.DLL", "Unlha", "a.lzh", "a %A %S *.bms", arc::OpenLzhReader, {"a.bms"}},
        SwitchCase{"lha_recursive", "UNLHA32.DLL", "Unlha", "a.lzh", "a -r1 %A %S *.bms", arc::OpenLzhReader,
                   {"a.bms", "song/b.bms", "song/deep/c.bms"}},
        SwitchCase{"lha_flat", "UNLHA32.DLL", "Unlha", "a.lzh", "a -r1 -x0 %A %S *.bms", arc::OpenLzhReader,
                   {"a.bms", "b.bms", "c.bms"}},
        SwitchCase{"lha_excluded_and_hidden", "UNLHA32.DLL", "Unlha", "a.lzh", "a -r1 -a1 \"-jx*.wav\" %A %S",
                   arc::OpenLzhReader, {".hidden", "a.bms", "song/b.bms", "song/deep/c.bms"}},
        SwitchCase{"lha_named_folder", "UNLHA32.DLL", "Unlha", "a.lzh", "a %A %S song\\deep", arc::OpenLzhReader,
                   {"song/deep/c.bms"}},
        SwitchCase{"zip_folders", "ZIP32J.DLL", "Zip", "a.zip", "-r %A %S song", arc::OpenZipReader,
                   {"song/", "song/b.bms", "song/b.wav", "song/deep/", "song/deep/c.bms"}},
        SwitchCase{"zip_no_folders_junked", "ZIP32J.DLL", "Zip", "a.zip", "-rjD %A %S *.bms", arc::OpenZipReader,
                   {"a.bms", "b.bms", "c.bms"}},
        SwitchCase{"zip_hidden", "ZIP32J.DLL", "Zip", "a.zip", "-S -0 %A %S *", arc::OpenZipReader,
                   {".hidden", "a.bms", "song/"}},
        SwitchCase{"tar_flat", "tar32.dll", "Tar", "a.tar", "c --use-directory=0 -f %A -o %S song",
                   arc::OpenTarReader, {"b.bms", "b.wav", "c.bms"}},
        SwitchCase{"tar_clustered_word", "tar32.dll", "Tar", "a.tgz", "-czvf %A -o %S song/deep", arc::OpenTarReader,
                   {"song/deep/", "song/deep/c.bms"}},
        SwitchCase{"cab_flat", "CAB32.DLL", "Cab", "a.cab", "-a -r -j %A %S *.bms", arc::OpenCabReader,
                   {"a.bms", "b.bms", "c.bms"}}),
    [](const ::testing::TestParamInfo<SwitchCase>& p) { return std::string(p.param.what); });

struct RefusalCase {
  const char* library;
  const char* prefix;
  const char* line;
  int result;
};

TEST(Creation, CommandsThatCannotBeCarriedOutSayWhy) {
  const RefusalCase cases[] = {
      {"UNLHA32.DLL", "Unlha", "s -+ \"a.lzh\" \"out/\"", ERROR_NOT_SUPPORT},
      {"CAB32.DLL", "Cab", "-f \"a.cab\" \"out/\"", ERROR_NOT_SUPPORT},
      {"tar32.dll", "Tar", "c -Z -f \"a.taz\" x", ERROR_NOT_SUPPORT},
      {"tar32.dll", "Tar", "-cZvf \"a.taz\" x", ERROR_NOT_SUPPORT},
      {"ZIP32J.DLL", "Zip", "-m \"a.zip\" x", ERROR_NOT_SUPPORT},
      {"ZIP32J.DLL", "Zip", "-Y \"a.zip\" x", ERROR_COMMAND_NAME},
      {"UNLHA32.DLL", "Unlha", "d \"a.lzh\"", ERROR_NOT_FILENAME},
      {"UNLHA32.DLL", "Unlha", "u -+", ERROR_NOT_FIND_ARC_FILE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ArcLibrary lib(c.library, c.prefix);
    std::string out;
    EXPECT_EQ(lib.Command(c.line, &out), c.result);
    EXPECT_FALSE(out.empty());
  }
}

}  // namespace

namespace {

// An archive inside the folder it is made from is never packed into itself.
TEST(Creation, TheArchiveIsNotTakenIntoItself) {
  for (auto [library, prefix, line, open] :
       {std::tuple{"UNLHA32.DLL", "Unlha", "u -r1 %A %S", &arc::OpenLzhReader},
        std::tuple{"ZIP32J.DLL", "Zip", "-r -u %A %S", &arc::OpenZipReader},
        std::tuple{"tar32.dll", "Tar", "c -f %A -o %S *", &arc::OpenTarReader}}) {
    SCOPED_TRACE(library);
    TempDir dir;
    dir.Write("src/a.bms", "a");
    std::string archive = dir.Path() + "src/self.arc";
    std::string l = line;
    l.replace(l.find("%A"), 2, "\"" + archive + "\"");
    l.replace(l.find("%S"), 2, "\"" + dir.Path() + "src/\"");
    ArcLibrary lib(library, prefix);
    ASSERT_EQ(lib.Command(l), 0);
    dir.Write("src/b.bms", "b");
    ASSERT_EQ(lib.Command(l), 0);  // now the archive exists among the files
    EXPECT_EQ(StoredNames(open, archive), (std::vector<std::string>{"a.bms", "b.bms"}));
  }
}

}  // namespace
