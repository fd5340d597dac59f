// SPDX-License-Identifier: MIT
// Which library answers, and what is raised when a library or an entry is
// missing.
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/dynlib.h"
#include "platform/paths.h"
#include "tests/drivers/fixture.h"

namespace {

struct MissingCase {
  const char* what;
  std::function<void()> create;
  const char* message;
};

const MissingCase kMissing[] = {
    {"lha", [] { TLha32 d; }, "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。"},
    {"zip", [] { TZip32 d; }, "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。"},
    {"cab", [] { TCab32 d; }, "CAB 形式書庫を扱うには CAB32.DLL が 必要です。"},
    {"arj", [] { TArj32 d; }, "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。"},
    {"tar", [] { TTar32 d; }, "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。"},
    {"tgz", [] { TTgz32 d; }, "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。"},
    {"bz2", [] { TBZ232 d; }, "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。"},
    {"rar", [] { TRar32 d; }, "この機能の使用には UNRAR32.DLL が 必要です。"},
};

TEST_F(RecordingTest, MissingLibrariesRaiseTheirMessages) {
  UseLibraries("none");
  for (const MissingCase& c : kMissing) {
    SCOPED_TRACE(c.what);
    EXPECT_ARCHIVER_ERROR(c.create(), c.message);
  }
  // The blank between "が" and "必要" is part of the text.
  try {
    TLha32 d;
  } catch (const EArchiver& e) {
    EXPECT_NE(std::string(e.what()).find("\x82\xAA \x95\x4B\x97\x76"), std::string::npos);
  }
  EXPECT_FALSE(IsLhaArchive("x.exe"));
  EXPECT_FALSE(IsZipArchive("x.exe"));
  EXPECT_FALSE(IsCabArchive("x.exe"));
  EXPECT_FALSE(IsArjArchive("x.exe"));
  EXPECT_FALSE(IsRarArchive("x.exe"));
  EXPECT_EQ(GetTarType("x.exe"), atNone);
}

TEST_F(RecordingTest, ALibraryLoadedOnceStaysForLaterDrivers) {
  { TLha32 first; }
  UseLibraries("all");  // frees, then loads again below
  { TLha32 second; }
  platform::SetLibrarySearchDirForTesting(std::string(REC_DIR) + "/none", true);
  // Still loaded: a new driver needs no load.
  TLha32 third;
  TArchiverOptions o;
  std::string out;
  third.Unpack(0, "a.lzh", o, "", nullptr, false, out);
  EXPECT_EQ(OnlyCommand().lib, "UNLHA32.DLL");
}

TEST_F(RecordingTest, MissingEntriesNameTheLibraryFile) {
  UseLibraries("partial");
  TLha32 lha;
  TArchiverOptions o;
  std::string out;
  std::string path = platform::GetModuleFileName(platform::LoadLibrary("UNLHA32.DLL"));
  EXPECT_EQ(path, std::string(REC_DIR) + "/partial/UNLHA32.DLL");
  EXPECT_ARCHIVER_ERROR(lha.Unpack(0, "a.lzh", o, "", nullptr, false, out),
                        (platform::Cp932ToUtf8(path) + " に Unlha のエントリが見つかりません。").c_str());
  EXPECT_EQ(lha.CmdLine(), "x -+  \"a.lzh\" ");
  // Entries that exist still work.
  EXPECT_TRUE(lha.SetOwnerWindow(5, nullptr));
  // ZIP names the entry alone.
  TZip32 zip;
  EXPECT_ARCHIVER_ERROR(zip.CheckArchive("a.zip", 0, 0), "UnZipCheckArchive のエントリが見つかりません。");
}

TEST_F(RecordingTest, OwnerEntriesBeforeLoadingNameTheProgram) {
  TLha32 lha;
  TLha32::FreeDLL();
  // The owner-window entries do not load the library: the lookup is made
  // against no module, and the message names the program itself.
  try {
    lha.SetOwnerWindow(1, nullptr);
    ADD_FAILURE();
  } catch (const EArchiver& e) {
    EXPECT_EQ(std::string(e.what()).rfind(platform::ExecutablePath(), 0), 0u);
  }
}

struct ZipCase {
  const char* folder;
  const char* unpackLib;
  const char* unpackEntry;
  const char* openLib;
  const char* openEntry;
};

const ZipCase kZipCases[] = {
    {"all", "UNZIP32.DLL", "UnZip", "LMZIP32.DLL", "UnzipOpenArchive"},
    {"unzip", "UNZIP32.DLL", "UnZip", "UNZIP32.DLL", "UnZipOpenArchive"},
    {"lmzip", "LMZIP32.DLL", "Unzip", "LMZIP32.DLL", "UnzipOpenArchive"},
    {"unzip_lmzip", "UNZIP32.DLL", "UnZip", "LMZIP32.DLL", "UnzipOpenArchive"},
    {"zip32j", nullptr, nullptr, "ZIP32J.DLL", "UnZipOpenArchive"},
};

TEST_F(RecordingTest, ZipEntriesComeFromTheirLibraries) {
  for (const ZipCase& c : kZipCases) {
    SCOPED_TRACE(c.folder);
    UseLibraries(c.folder);
    recorder::SetAnswer(c.openLib, c.openEntry, 0);
    TZip32 zip;
    TArchiverOptions o;
    o.x = 0;
    std::string out;
    if (c.unpackLib) {
      zip.Unpack(0, "a.zip", o, "/w", nullptr, false, out);
      recorder::Call call = OnlyCommand();
      EXPECT_EQ(call.lib, c.unpackLib);
      EXPECT_EQ(call.entry, c.unpackEntry);
      EXPECT_EQ(call.text, "-x -j  \"a.zip\" \"/w/\" ");
    } else {
      EXPECT_ARCHIVER_ERROR(zip.Unpack(0, "a.zip", o, "/w", nullptr, false, out),
                            "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。");
    }
    recorder::Clear();
    // The probe closes only a real handle.
    EXPECT_FALSE(IsZipArchive("a.zip"));
    auto calls = recorder::Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].lib, c.openLib);
    EXPECT_EQ(calls[0].entry, c.openEntry);
    EXPECT_EQ(calls[0].text, platform::ExpandFileName("a.zip"));
    EXPECT_EQ(calls[0].mode, 0x00800002u);
  }
}

TEST_F(RecordingTest, ZipCreationNeedsACreatingLibrary) {
  UseLibraries("unzip");
  TZip32 zip;
  TArchiverOptions o;
  std::string out;
  TStringList files = {"a"};
  const char* noCreator = "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。";
  EXPECT_ARCHIVER_ERROR(zip.Pack(0, "a.zip", o, "", &files, false, out), noCreator);
  EXPECT_EQ(zip.CmdLine(), "");
  EXPECT_ARCHIVER_ERROR(zip.RemoveItem(0, "a.zip", o, "", &files, false, out), noCreator);
  EXPECT_EQ(zip.CmdLine(), "-d -D  \"a.zip\" \"a\" ");
  EXPECT_ARCHIVER_ERROR(zip.MakeSFX(0, "a.zip", o, "", out), "ZIP 形式書庫からの自己解凍書庫作成には ZIP32J.DLL が必要です。");
  EXPECT_TRUE(recorder::Calls().empty());

  // CheckArchive gives the library Mode alone; owner windows always succeed.
  recorder::SetAnswer("UNZIP32.DLL", "UnZipSetOwnerWindowEx", 0);
  zip.CheckArchive("rel.zip", 1, 16);
  EXPECT_EQ(CallsTo("UnZipCheckArchive").at(0).mode, 1u);
  EXPECT_TRUE(zip.SetOwnerWindow(3, nullptr));
  EXPECT_EQ(zip.OwnerWnd(), 3u);
  EXPECT_TRUE(zip.KillOwnerWindow(3));
  EXPECT_EQ(zip.OwnerWnd(), 0u);
}

TEST_F(RecordingTest, UnsupportedOperationsReachNoLibrary) {
  TArchiverOptions o;
  std::string out;
  TRar32 rar;
  EXPECT_ARCHIVER_ERROR(rar.Pack(0, "a.rar", o, "", nullptr, false, out),
                        "この形式では書庫ファイルの作成をサポートしておりません。");
  EXPECT_ARCHIVER_ERROR(rar.MakeSFX(0, "a.rar", o, "", out), "この形式では自己解凍書庫の作成をサポートしておりません。");
  TCab32 cab;
  EXPECT_ARCHIVER_ERROR(cab.RemoveItem(0, "a.cab", o, "", nullptr, false, out),
                        "この形式の書庫ではファイルの削除をサポートしておりません。");
  TTgz32 tgz;
  EXPECT_ARCHIVER_ERROR(tgz.Update(0, "a.tgz", o, "", nullptr, false, out),
                        "この形式の書庫では書庫の更新をサポートしておりません。");
  EXPECT_TRUE(recorder::Calls().empty());
  EXPECT_ARCHIVER_ERROR(TArchiver::LoadDLL(), "Abstract method 'TArchiver.LoadDLL' was called");
}

TEST_F(RecordingTest, ArjCreatesThroughLhaWhichMayBeMissing) {
  UseLibraries("arj");
  TArj32 arj;
  TArchiverOptions o;
  std::string out;
  EXPECT_ARCHIVER_ERROR(arj.Pack(0, "a.arj", o, "", nullptr, false, out),
                        "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。");
  arj.Unpack(0, "a.arj", o, "", nullptr, false, out);
  EXPECT_EQ(OnlyCommand().lib, "UNARJ32J.DLL");
}

}  // namespace

// An installed copy: the executable in <prefix>/bin, the libraries in
// <prefix>/lib/bmslist, wherever the prefix is.
TEST_F(RecordingTest, AnInstalledCopyFindsItsLibraryFolder) {
  TLha32::FreeDLL();
  std::string prefix = std::filesystem::temp_directory_path().string() + "/bmslist-prefix-" + std::to_string(getpid());
  std::filesystem::create_directories(prefix + "/bin");
  std::filesystem::create_directories(prefix + "/lib/bmslist");
  std::filesystem::copy_file(std::string(REC_DIR) + "/all/UNLHA32.DLL", prefix + "/lib/bmslist/UNLHA32.DLL");
  platform::SetLibrarySearchDirForTesting("");
  platform::OverrideExecutableDirForTesting(prefix + "/bin");
  platform::ModuleHandle h = platform::LoadLibrary("UNLHA32.DLL");
  std::string found = platform::GetModuleFileName(h);
  platform::FreeLibrary(h);
  platform::OverrideExecutableDirForTesting("");
  std::filesystem::remove_all(prefix);
  EXPECT_EQ(found, prefix + "/lib/bmslist/UNLHA32.DLL");
}
