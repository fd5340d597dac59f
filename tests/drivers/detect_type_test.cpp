// SPDX-License-Identifier: MIT
// Detection by extension, and the probes that decide for ".exe" files.
#include "drivers/detect_type.h"

#include <map>
#include <set>

#include "drivers/archive_formats.h"

#include "tests/drivers/fixture.h"

namespace {

TEST(DetectArchiverType, ByTheLastExtension) {
  struct Case {
    std::string name;
    TArchiverType type;
  } cases[] = {
      {"ARCHIVE.LZH", atLha}, {"archive.lzh", atLha}, {"a.Zip", atZip},     {"a.cab", atCab},
      {"a.arj", atArj},       {"a.tar", atTar},       {"x.tar.gz", atTgz},  {"a.TGZ", atTgz},
      {"a.taz", atTgz},       {"a.z", atTgz},         {"a.Z", atTgz},       {"a.bz2", atBZ2},
      {"a.rar", atRar},       {"x.tbz", atNone},      {"noext", atNone},    {"/a.b/file", atNone},
      {"a.lzh.txt", atNone},  {"", atNone},           {kNotSet, atNone},    {"/dir/.lzh", atLha},
      // A double-byte character ending in 0x5C does not hide the extension.
      {"/\x95\x5C.lzh", atLha},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectArchiverType(c.name), c.type) << c.name;
}

struct ProbeCase {
  const char* what;
  std::map<std::string, int> opens;  // library -> handle its OpenArchive answers
  int tarType;
  TArchiverType expected;
};

const ProbeCase kProbes[] = {
    {"nobody", {}, 0, atNone},
    {"zip and lha: lha wins", {{"LMZIP32.DLL", 5}, {"UNLHA32.DLL", 6}}, 0, atLha},
    {"tar type 2 only", {}, 2, atTgz},
    {"tar type 1", {}, 1, atTar},
    {"tar type 5", {}, 5, atTgz},
    {"tar type 6", {}, 6, atBZ2},
    {"tar type 7", {}, 7, atBZ2},
    {"tar type 8 (tar+xz)", {}, 8, atTar},
    {"tar type 13 (zstd)", {}, 13, atTar},
    {"tar type 14", {}, 14, atNone},
    {"tar type -1", {}, -1, atNone},
    {"tar loses to rar", {{"UNRAR32.DLL", 1}}, 1, atRar},
    {"rar loses to arj", {{"UNRAR32.DLL", 1}, {"UNARJ32J.DLL", 1}}, 0, atArj},
    {"arj loses to cab", {{"CAB32.DLL", 1}, {"UNARJ32J.DLL", 1}}, 0, atCab},
    {"cab loses to zip", {{"CAB32.DLL", 1}, {"LMZIP32.DLL", 1}}, 7, atZip},
    {"7z alone", {{"7-ZIP32.DLL", 3}}, 0, at7Zip},
    {"7z loses to tar", {{"7-ZIP32.DLL", 3}}, 1, atTar},
};

class ExeProbes : public RecordingTest, public ::testing::WithParamInterface<ProbeCase> {};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.what; }

TEST_P(ExeProbes, LaterPositivesWin) {
  const ProbeCase& c = GetParam();
  const char* opens[][2] = {{"UNLHA32.DLL", "UnlhaOpenArchive"}, {"LMZIP32.DLL", "UnzipOpenArchive"},
                            {"CAB32.DLL", "CabOpenArchive"},     {"UNARJ32J.DLL", "UnarjOpenArchive"},
                            {"UNRAR32.DLL", "UnrarOpenArchive"},  {"7-ZIP32.DLL", "SevenZipOpenArchive"}};
  for (auto& [lib, entry] : opens) {
    auto it = c.opens.find(lib);
    recorder::SetAnswer(lib, entry, it == c.opens.end() ? 0 : it->second);
  }
  recorder::SetAnswer("tar32.dll", "TarGetArchiveType", c.tarType);
  EXPECT_EQ(DetectArchiverType("setup.EXE"), c.expected);
  // Every probe ran, in order; the type query got the name unchanged.
  std::vector<std::string> entries;
  for (auto& call : recorder::Calls())
    if (call.entry.find("Close") == std::string::npos) entries.push_back(call.entry);
  EXPECT_EQ(entries, (std::vector<std::string>{"SevenZipOpenArchive", "TarGetArchiveType", "UnrarOpenArchive", "UnarjOpenArchive",
                                               "CabOpenArchive", "UnzipOpenArchive", "UnlhaOpenArchive"}));
  EXPECT_EQ(CallsTo("TarGetArchiveType").at(0).text, "setup.EXE");
  // A zero handle is closed by every probe but ZIP's.
  EXPECT_EQ(CallsTo("UnlhaCloseArchive").size(), 1u);
  EXPECT_EQ(CallsTo("UnzipCloseArchive").size(), c.opens.count("LMZIP32.DLL"));
}

INSTANTIATE_TEST_SUITE_P(Precedence, ExeProbes, ::testing::ValuesIn(kProbes));

TEST_F(RecordingTest, ProbesWithoutLibrariesFindNothing) {
  UseLibraries("none");
  EXPECT_EQ(DetectArchiverType("/x/setup.exe"), atNone);
  UseLibraries("partial");  // no TarGetArchiveType there
  recorder::SetAnswer("UNRAR32.DLL", "UnrarOpenArchive", 1);
  EXPECT_EQ(DetectArchiverType("/x/setup.exe"), atRar);
}

// The format table: each stored kind has one row, no extension names two
// kinds, and each row's driver loads from nothing but the library the row
// names.
TEST_F(RecordingTest, FormatRowsCoverEveryKindOnceWithTheirOwnLibrary) {
  std::set<int> types;
  std::set<std::string> extensions;
  for (const ArchiveFormat& f : ArchiveFormats()) {
    EXPECT_TRUE(types.insert(f.type).second) << f.displayName;
    for (const std::string& ext : FormatExtensions(f)) {
      EXPECT_TRUE(extensions.insert(ext).second) << ext;
      EXPECT_EQ(DetectArchiverType("/x/a" + ext), f.type) << ext;
    }
    UseLibraries(std::string("only_") + f.library);
    EXPECT_NE(f.makeDriver(), nullptr) << f.displayName;
    UseLibraries("none");
    EXPECT_THROW(f.makeDriver(), EArchiver) << f.displayName;
  }
  EXPECT_EQ(types, (std::set<int>{atLha, atZip, atCab, atArj, atTar, atTgz, atBZ2, atRar, at7Zip}));
  EXPECT_EQ(FindArchiveFormat(atNone), nullptr);
  EXPECT_EQ(FindArchiveFormat(atAutoDetect), nullptr);
  EXPECT_EQ(FindArchiveFormat(static_cast<TArchiverType>(200)), nullptr);
}

}  // namespace
