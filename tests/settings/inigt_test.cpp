// SPDX-License-Identifier: MIT
#include "settings/inigt.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/files.h"
#include "platform/paths.h"
#include "settings/ini_write_error.h"
#include "tests/support/files.h"

using test_support::TempDir;
using test_support::ReadBytes;
using test_support::WriteBytes;

namespace {

// A window as far as its placement goes: what it was given, it gives back.
class RecordedWindow : public platform::PlacementWindow {
 public:
  platform::WindowPlacement placement;
  int sets = 0;
  bool GetWindowPlacement(platform::WindowPlacement& p) const override {
    p = placement;
    return true;
  }
  bool SetWindowPlacement(const platform::WindowPlacement& p) override {
    placement = p;
    ++sets;
    return true;
  }
};

platform::WindowPlacement Placement(std::uint32_t show, platform::PlacementRect normal) {
  platform::WindowPlacement p;
  p.showCmd = show;
  p.ptMaxPosition = {-1, -1};
  p.rcNormalPosition = normal;
  return p;
}

bool SamePlacement(const platform::WindowPlacement& a, const platform::WindowPlacement& b) {
  return a.flags == b.flags && a.showCmd == b.showCmd && a.ptMaxPosition.x == b.ptMaxPosition.x &&
         a.ptMaxPosition.y == b.ptMaxPosition.y && a.rcNormalPosition.left == b.rcNormalPosition.left &&
         a.rcNormalPosition.top == b.rcNormalPosition.top && a.rcNormalPosition.right == b.rcNormalPosition.right &&
         a.rcNormalPosition.bottom == b.rcNormalPosition.bottom;
}

// The settings component as the main window sets it up, with the program
// pretending to live in `dir`.
class IniGTTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::OverrideExecutableDirForTesting(dir.Path()); }
  void TearDown() override { platform::OverrideExecutableDirForTesting(""); }

  TIniGT MainWindowIni() {
    TIniGT ini;
    ini.SetDefaultDir(ddApplication);
    ini.SetFence(fnNone);
    ini.Loaded();
    return ini;
  }

  TempDir dir;
};

const std::string kCannotWrite = " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  // " に書き込めません"

}  // namespace

TEST(IniGTNames, DefaultFileNameFollowsTheExecutable) {
  struct Case {
    std::string exe, ini;
  } cases[] = {
      {"/usr/bin/bmslist", "Bmslist.ini"},
      {"/apps/DAVARORE.EXE", "Davarore.ini"},
      {"1ABC.EXE", "1abc.ini"},          // only a leading letter is raised
      {"/x/my.tool.exe", "My.tool.ini"},  // only the last extension changes
      {"/x/\x83\x41" "B.EXE", "\x83\x41" "b.ini"},  // "ア" keeps its second byte 0x41
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultSettingsFileName(c.exe), c.ini) << c.exe;
}

TEST_F(IniGTTest, PathFollowsFileNameAndDefaultDir) {
  TIniGT ini = MainWindowIni();
  std::string settingsDir = platform::SettingsDir();
  EXPECT_EQ(settingsDir, dir.Path());
  EXPECT_EQ(ini.FileName(), DefaultSettingsFileName(platform::ExecutablePath()));
  EXPECT_EQ(ini.Path(), settingsDir + ini.FileName());
  EXPECT_FALSE(ini.FenceUntouched());

  ini.SetFileName("a.ini");
  ini.SetDefaultDir(ddNone);
  EXPECT_EQ(ini.Path(), "a.ini");
  ini.SetDefaultDir(ddWindows);
  EXPECT_EQ(ini.Path(), "/etc/a.ini");
  ini.SetDefaultDir(ddApplication);
  EXPECT_EQ(ini.Path(), settingsDir + "a.ini");
  EXPECT_EQ(ini.FileName(), "a.ini");  // the name as assigned, not the path

  for (TIniGTDefaultDir d : {ddApplication, ddWindows, ddNone}) {
    ini.SetDefaultDir(d);
    ini.SetFileName("/x/a.ini");
    EXPECT_EQ(ini.Path(), "/x/a.ini");
    ini.SetFileName("sub/a.ini");
    EXPECT_EQ(ini.Path(), "sub/a.ini");
  }

  // A name set before Loaded is kept.
  TIniGT named;
  named.SetFileName("own.ini");
  named.Loaded();
  EXPECT_EQ(named.FileName(), "own.ini");
}

TEST_F(IniGTTest, ChangingDefaultDirMovesTheFileWithoutCopying) {
  TIniGT ini = MainWindowIni();
  ini.SetFileName("a.ini");
  ini.WriteInteger("S", "K", 1);
  std::string cwd = platform::GetCurrentDirectory();
  ASSERT_TRUE(platform::SetCurrentDirectory(dir / ""));
  ASSERT_EQ(mkdir((dir / "elsewhere").c_str(), 0755), 0);
  ASSERT_TRUE(platform::SetCurrentDirectory(dir / "elsewhere"));
  ini.SetDefaultDir(ddNone);
  EXPECT_EQ(ini.ReadInteger("S", "K", -1), -1);
  ini.WriteInteger("S", "K", 2);
  platform::SetCurrentDirectory(cwd);
  EXPECT_EQ(ReadBytes(dir / "a.ini"), "[S]\nK=1\n");
  EXPECT_EQ(ReadBytes(dir / "elsewhere/a.ini"), "[S]\nK=2\n");
}

TEST_F(IniGTTest, ReadIntegerFallsBackToTheDefault) {
  TIniGT ini = MainWindowIni();
  WriteBytes(ini.Path(), "[S]\nhex=0x1F\ndollar=$1F\nneg= -5\nbad=12ab\nbig=4294967296\nempty=\n");
  EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("s", "DOLLAR", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -5);
  for (const char* key : {"bad", "big", "empty", "missing"}) EXPECT_EQ(ini.ReadInteger("S", key, 77), 77) << key;
  EXPECT_EQ(ini.ReadInteger("Nope", "hex", 78), 78);
}

// The file the main window's first close writes: thirteen widths, then the
// eight placement keys, in that order.
TEST_F(IniGTTest, FirstCloseWritesThisFile) {
  TIniGT ini = MainWindowIni();
  ASSERT_FALSE(platform::FileExists(ini.Path()));
  for (int i = 0; i < 13; ++i) ini.WriteInteger("Clumns", "Width" + std::to_string(i), 50 + i);
  RecordedWindow window;
  window.placement = Placement(platform::kSwShowNormal, {10, 10, 643, 388});
  ini.SavePlacement("Forms", "Property", window);
  EXPECT_EQ(ReadBytes(ini.Path()),
            "[Clumns]\n"
            "Width0=50\nWidth1=51\nWidth2=52\nWidth3=53\nWidth4=54\nWidth5=55\nWidth6=56\n"
            "Width7=57\nWidth8=58\nWidth9=59\nWidth10=60\nWidth11=61\nWidth12=62\n"
            "\n"
            "[Forms]\n"
            "Property.Flags=0\n"
            "Property.Show=1\n"
            "Property.MaxX=-1\n"
            "Property.MaxY=-1\n"
            "Property.X=10\n"
            "Property.Y=10\n"
            "Property.XSize=643\n"
            "Property.YSize=388\n");
}

TEST_F(IniGTTest, PlacementRoundTripsAndMissingKeysKeepTheWindowsFields) {
  TIniGT ini = MainWindowIni();
  RecordedWindow saved;
  saved.placement = Placement(platform::kSwShowMaximized, {-20, 30, 500, 430});
  saved.placement.flags = platform::kWpfRestoreToMaximized;
  saved.placement.ptMaxPosition = {-8, -7};
  ini.SavePlacement("Forms", "P", saved);

  RecordedWindow restored;
  ini.LoadPlacement("Forms", "P", restored);
  EXPECT_EQ(restored.sets, 1);
  EXPECT_TRUE(SamePlacement(restored.placement, saved.placement));

  // Only X and YSize stored: the other fields stay as the window had them.
  WriteBytes(ini.Path(), "[Forms]\nP.X=100\nP.YSize=$200\n");
  RecordedWindow partial;
  partial.placement = Placement(platform::kSwShowNormal, {1, 2, 3, 4});
  ini.LoadPlacement("Forms", "P", partial);
  EXPECT_TRUE(SamePlacement(partial.placement, Placement(platform::kSwShowNormal, {100, 2, 3, 512})));
}

TEST_F(IniGTTest, RefusedWriteRaisesWithThePath) {
  TIniGT ini = MainWindowIni();
  WriteBytes(ini.Path(), "[Clumns]\nWidth0=1\n");
  chmod(ini.Path().c_str(), 0444);
  try {
    ini.WriteInteger("Clumns", "Width0", 2);
    FAIL() << "no error";
  } catch (const EIniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), ini.Path() + kCannotWrite);
  }
  EXPECT_EQ(ReadBytes(ini.Path()), "[Clumns]\nWidth0=1\n");

  // A read-only folder stops the placement at its first key.
  std::string ro = dir / "ro";
  ASSERT_EQ(mkdir(ro.c_str(), 0555), 0);
  ini.SetFileName(ro + "/s.ini");
  RecordedWindow window;
  EXPECT_THROW(ini.SavePlacement("Forms", "Property", window), EIniWriteError);
  try {
    ini.WriteInteger("S", "K", 1);
  } catch (const EIniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), ro + "/s.ini" + kCannotWrite);
  }
  EXPECT_FALSE(platform::FileExists(ro + "/s.ini"));
}

// When the program's folder cannot be written, settings go to the per-user
// configuration folder, made on the first write.
TEST_F(IniGTTest, PerUserSettingsFolderIsCreated) {
  platform::OverrideExecutableDirForTesting(dir / "no-such-folder");
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  TIniGT ini = MainWindowIni();
  EXPECT_EQ(ini.Path(), dir / "config/bmslist/" + ini.FileName());
  ini.WriteInteger("S", "K", 5);
  EXPECT_EQ(ReadBytes(ini.Path()), "[S]\nK=5\n");
  if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
}

TEST_F(IniGTTest, TextKeysRoundTripAndFallBack) {
  TIniGT ini = MainWindowIni();
  EXPECT_EQ(ini.ReadString("Export", "Folder", "dflt"), "dflt");  // no file yet
  const std::string folder = "/home/u/\x8b\xc8/";                   // 曲, as CP932
  ini.WriteString("Export", "Folder", folder);
  ini.WriteInteger("Clumns", "Width0", 50);
  EXPECT_EQ(ini.ReadString("Export", "Folder", ""), folder);
  EXPECT_EQ(ini.ReadString("Export", "Other", "x"), "x");
  EXPECT_EQ(ReadBytes(ini.Path()), "[Export]\nFolder=" + folder + "\n\n[Clumns]\nWidth0=50\n");
  EXPECT_THROW(ini.WriteString("Export", "Folder", "a\nb"), EIniWriteError);
}

// Where the settings and the working folder go, by the kind of copy: beside
// the executable for a build folder or a portable copy, the XDG folders for
// an installed copy (bin/ with lib/bmslist/ beside it) even when root could
// write into its bin/, and for a folder the user cannot write.
TEST_F(IniGTTest, InstalledCopiesKeepTheirFilesInTheXdgFolders) {
  platform::ForceDirectories(dir / "portable");
  platform::ForceDirectories(dir / "usr/bin");
  platform::ForceDirectories(dir / "usr/lib/bmslist");
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldCache = std::getenv("XDG_CACHE_HOME");
  std::string savedConfig = oldConfig ? oldConfig : "", savedCache = oldCache ? oldCache : "";
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
  struct {
    std::string exeDir, settings, work;
  } cases[] = {
      {dir / "portable/", dir / "portable/", dir / "portable/"},
      {dir / "usr/bin/", dir / "config/bmslist/", dir / "cache/bmslist/"},
      {dir / "missing/bin/", dir / "config/bmslist/", dir / "cache/bmslist/"},
  };
  for (const auto& c : cases) {
    platform::OverrideExecutableDirForTesting(c.exeDir);
    EXPECT_EQ(platform::SettingsDir(), c.settings) << c.exeDir;
    EXPECT_EQ(platform::WorkParentDir(), c.work) << c.exeDir;
  }
  platform::OverrideExecutableDirForTesting(dir / "usr/bin/");
  EXPECT_EQ(platform::InstalledLibraryDir(), dir / "usr/lib/bmslist/");
  if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  if (oldCache) setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
  else unsetenv("XDG_CACHE_HOME");
}
