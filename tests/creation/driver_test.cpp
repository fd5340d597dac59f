// SPDX-License-Identifier: MIT
// The drivers' own command lines (Pack, RemoveItem, Update, MakeSFX) carried
// out by the real libraries: what the drivers build is understood.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/support/archive_maker.h"
#include "archives/archiver.h"
#include "archives/earchiver.h"
#include "drivers/cab32.h"
#include "drivers/lha32.h"
#include "drivers/tar32.h"
#include "drivers/zip32.h"
#include "platform/files.h"

namespace {

using test_support::FilesUnder;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::Shell;

void ExpectRefused(const std::function<void()>& call, const char* utf8Message) {
  try {
    call();
    ADD_FAILURE() << "not refused";
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.what(), Cp932Text(utf8Message));
  }
}

struct DriverCase {
  const char* name;
  std::function<std::unique_ptr<TArchiver>()> make;
  const char* archive;
  bool changes;  // RemoveItem and Update are offered
};

class Driver : public ::testing::TestWithParam<DriverCase> {
 protected:
  void SetUp() override {
    dir_.Write("src/song/a.bms", test_support::TextBytes(3000, 1));
    dir_.Write("src/song/bgm.ogg", test_support::NoiseBytes(60000, 2));
    dir_.Write("src/readme.txt", test_support::TextBytes(500, 3));
    ASSERT_EQ(Shell(dir_.Path() + "src", "find . -exec touch -d '2001-02-03 04:05:06' {} +"), 0);
    options_.r = 1;  // into subfolders
  }
  std::string Archive() const { return dir_.Path() + GetParam().archive; }
  std::map<std::string, std::string> Extracted(const std::string& sub) {
    EXPECT_EQ(Shell(dir_.Path(), "mkdir " + sub + " && cd " + sub + " && bsdtar -xf ../" + GetParam().archive), 0);
    return FilesUnder(dir_.Path() + sub);
  }

  TempDir dir_;
  TArchiverOptions options_;
  std::string output_ = std::string(256, ' ');
};

TEST_P(Driver, PackTakesTheFilesBelowTheBaseFolder) {
  auto driver = GetParam().make();
  TStringList files{"*.*"};
  ASSERT_EQ(driver->Pack(0, Archive(), options_, dir_.Path() + "src", &files, false, output_), 0)
      << driver->CmdLine() << " -> " << output_;
  EXPECT_TRUE(Extracted("out") == FilesUnder(dir_.Path() + "src")) << driver->CmdLine();
  EXPECT_NE(driver->CheckArchive(Archive(), CHECKARCHIVE_FULLCRC, 0), 0);
}

TEST_P(Driver, RemoveItemAndUpdateChangeOnlyWhatTheyName) {
  auto driver = GetParam().make();
  TStringList all{"*.*"}, readme{"readme.txt"};
  ASSERT_EQ(driver->Pack(0, Archive(), options_, dir_.Path() + "src", &all, false, output_), 0);
  if (!GetParam().changes) {
    // Refused with the driver's own message; the archive is left as it was.
    std::string before = ReadBytes(Archive());
    ExpectRefused([&] { driver->RemoveItem(0, Archive(), options_, "", &readme, false, output_); },
                  "この形式の書庫ではファイルの削除をサポートしておりません。");
    ExpectRefused([&] { driver->Update(0, Archive(), options_, dir_.Path() + "src", &all, false, output_); },
                  "この形式の書庫では書庫の更新をサポートしておりません。");
    EXPECT_EQ(ReadBytes(Archive()), before);
    return;
  }
  ASSERT_EQ(driver->RemoveItem(0, Archive(), options_, "", &readme, false, output_), 0) << driver->CmdLine();
  dir_.Write("src/song/a.bms", "#TITLE new\r\n");
  ASSERT_EQ(Shell(dir_.Path() + "src", "touch -d '2002-01-01' song/a.bms"), 0);
  ASSERT_EQ(driver->Update(0, Archive(), options_, dir_.Path() + "src", &all, false, output_), 0)
      << driver->CmdLine() << " -> " << output_;
  auto got = Extracted("out");
  auto expected = FilesUnder(dir_.Path() + "src");
  expected.erase("readme.txt");  // freshening adds nothing back
  EXPECT_TRUE(got == expected) << driver->CmdLine();
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, Driver,
    ::testing::Values(DriverCase{"lha", [] { return std::make_unique<TLha32>(); }, "a.lzh", true},
                      DriverCase{"zip", [] { return std::make_unique<TZip32>(); }, "a.zip", true},
                      DriverCase{"tar", [] { return std::make_unique<TTar32>(); }, "a.tar", false},
                      DriverCase{"tgz", [] { return std::make_unique<TTgz32>(); }, "a.tgz", false},
                      DriverCase{"bz2", [] { return std::make_unique<TBZ232>(); }, "a.tar.bz2", false},
                      DriverCase{"cab", [] { return std::make_unique<TCab32>(); }, "a.cab", false}),
    [](const ::testing::TestParamInfo<DriverCase>& p) { return std::string(p.param.name); });

// The ZIP driver joins stub and archive itself and has ZIP32J.DLL fix the
// offsets with -A; unzip then reads the result without complaint.
TEST(ZipDriver, MakeSfxGivesAReadableSelfExtractor) {
  TempDir dir;
  dir.Write("src/a.bms", test_support::TextBytes(3000, 1));
  dir.Write("sfx16.dat", test_support::NoiseBytes(4000, 5));
  std::string before = platform::GetCurrentDirectory();
  ASSERT_TRUE(platform::SetCurrentDirectory(dir.Path()));
  TZip32 zip;
  TArchiverOptions options;
  TStringList files{"a.bms"};
  std::string output(256, ' ');
  int packed = zip.Pack(0, dir.Path() + "a.zip", options, dir.Path() + "src", &files, false, output);
  int sfx = zip.MakeSFX(0, dir.Path() + "a.zip", options, "", output);
  platform::SetCurrentDirectory(before);
  ASSERT_EQ(packed, 0);
  ASSERT_EQ(sfx, 0) << zip.CmdLine();
  EXPECT_EQ(ReadBytes(dir.Path() + "a.EXE").substr(0, 4000), test_support::NoiseBytes(4000, 5));
  EXPECT_EQ(Shell(dir.Path(), "unzip -tqq a.EXE"), 0);
}

}  // namespace
