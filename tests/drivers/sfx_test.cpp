// SPDX-License-Identifier: MIT
// Self-extractors of the ZIP and TAR drivers, and ZIP creation through
// LMZIP32.DLL, on real files.
#include "platform/files.h"
#include "platform/file_writer.h"
#include "platform/input_file.h"
#include "tests/drivers/fixture.h"

namespace {

class FilesTest : public RecordingTest {
 protected:
  void SetUp() override {
    RecordingTest::SetUp();
    dir_ = std::string(REC_DIR) + "/sfx-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    platform::ForceDirectories(dir_ + "out");
    cwd_ = platform::GetCurrentDirectory();
    platform::SetCurrentDirectory(dir_);  // the stub search looks here
    Write(dir_ + "a.zip", "ZIPDATA");
    Write(dir_ + "a.tgz", "TGZDATA");
  }
  void TearDown() override {
    platform::SetCurrentDirectory(cwd_);
    for (const char* f : {"sfx16.dat", "sfx32gui.dat", "kmtarsef.exe"}) platform::DeleteFile(dir_ + f);
    RecordingTest::TearDown();
  }
  static void Write(const std::string& path, const std::string& text) {
    platform::FileWriter f(path);
    f.Write(text.data(), text.size());
    f.Close();
  }
  std::string dir_, cwd_;
  // The options and the output text each call takes.
  TArchiverOptions o;
  std::string out;
};

TEST_F(FilesTest, ZipJoinsTheChosenStubAndTheArchive) {
  Write(dir_ + "sfx32gui.dat", "WIN32STUB");
  Write(dir_ + "sfx16.dat", "DOSSTUB");
  TZip32 zip;
  o.gw = 1;
  EXPECT_EQ(zip.MakeSFX(9, dir_ + "a.zip", o, dir_ + "out", out), 0);
  EXPECT_EQ(ReadWholeFile(dir_ + "out/a.EXE"), "WIN32STUB" "ZIPDATA");
  EXPECT_EQ(OnlyCommand().text, "-A " + dir_ + "out/a.EXE");
  EXPECT_EQ(OnlyCommand().lib, "ZIP32J.DLL");
  o.gw = -1;
  zip.MakeSFX(9, dir_ + "a.zip", o, "", out);
  EXPECT_EQ(ReadWholeFile(dir_ + "a.EXE"), "DOSSTUB" "ZIPDATA");
  EXPECT_EQ(ReadWholeFile(dir_ + "a.zip"), "ZIPDATA");
}

TEST_F(FilesTest, MissingStubsAreNamed) {
  TZip32 zip;
  EXPECT_ARCHIVER_ERROR(zip.MakeSFX(0, dir_ + "a.zip", o, "", out),
                        "zip 書庫からのDOS自己解凍書庫の作成には sfx16.dat が必要です。");
  o.gw = 1;
  EXPECT_ARCHIVER_ERROR(zip.MakeSFX(0, dir_ + "a.zip", o, "", out),
                        "zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。");
  TTgz32 tgz;
  EXPECT_ARCHIVER_ERROR(tgz.MakeSFX(0, dir_ + "a.tgz", o, "", out),
                        "tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
  TBZ232 bz2;
  Write(dir_ + "kmtarsef.exe", "TARSTUB");
  EXPECT_ARCHIVER_ERROR(bz2.MakeSFX(0, dir_ + "a.tgz", o, "", out), "BZ2 形式書庫は自己解凍形式にできません。");
  EXPECT_FALSE(platform::FileExists(dir_ + "a.EXE"));
  EXPECT_TRUE(recorder::Calls().empty());
}

TEST_F(FilesTest, TarNeedsNoLibraryCall) {
  Write(dir_ + "kmtarsef.exe", "TARSTUB");
  TTgz32 tgz;
  EXPECT_EQ(tgz.MakeSFX(5, dir_ + "a.tgz", o, "", out), 0);
  EXPECT_EQ(ReadWholeFile(dir_ + "a.EXE"), "TARSTUB" "TGZDATA");
  EXPECT_TRUE(recorder::Calls().empty());
}

TEST_F(FilesTest, AnArchiveNamedLikeItsOutputIsReadWhole) {
  Write(dir_ + "kmtarsef.exe", "TARSTUB");
  Write(dir_ + "b.EXE", "TARDATA");
  TTar32 tar;
  tar.MakeSFX(0, dir_ + "b.EXE", o, "", out);
  EXPECT_EQ(ReadWholeFile(dir_ + "b.EXE"), "TARSTUB" "TARDATA");
}

TEST_F(FilesTest, LmzipPackKeepsTheOldArchiveUnlessTheLibrarySucceeds) {
  UseLibraries("lmzip");
  TZip32 zip;
  o.x = 0;
  TStringList files = {"sub\\x.bms"};
  recorder::SetAnswer("LMZIP32.DLL", "Zip", ERROR_CANNOT_WRITE);
  EXPECT_EQ(zip.Pack(0, dir_ + "a.zip", o, dir_, &files, false, out), ERROR_CANNOT_WRITE);
  EXPECT_EQ(ReadWholeFile(dir_ + "a.zip"), "ZIPDATA");
  recorder::Call c = OnlyCommand();
  EXPECT_EQ(c.lib, "LMZIP32.DLL");
  EXPECT_EQ(c.text, "-ru -j  \"" + dir_ + "a.zip\" \"sub\\x.bms\" ");
  // On success the library's archive stands alone (here: none was written).
  recorder::SetAnswer("LMZIP32.DLL", "Zip", 0);
  EXPECT_EQ(zip.Pack(0, dir_ + "a.zip", o, dir_, &files, false, out), 0);
  EXPECT_FALSE(platform::FileExists(dir_ + "a.zip"));
  EXPECT_EQ(platform::FindFiles(dir_, ".bmslist-*").size(), 0u);
}

}  // namespace
