// SPDX-License-Identifier: MIT
// Several keys in one write of the settings file, and the temporaries a
// killed write leaves behind.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "settings/inigt.h"
#include "settings/ini_write_error.h"
#include "tests/support/files.h"

using platform::ProfileEntry;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;

namespace {

// A window's close: thirteen widths, then the placement keys, into files as
// users have them.
std::vector<ProfileEntry> CloseLikeWrites() {
  std::vector<ProfileEntry> e;
  for (int i = 0; i < 13; ++i) e.push_back({"Clumns", "Width" + std::to_string(i), std::to_string(50 + i)});
  for (const char* k : {"Flags", "Show", "MaxX", "MaxY", "X", "Y", "XSize", "YSize"})
    e.push_back({"Forms", std::string("Property.") + k, "7"});
  e.push_back({"forms", "property.x", "8"});  // the same key again, spelt otherwise
  return e;
}

TEST(ProfileBatch, LeavesTheBytesOfTheWritesOneByOne) {
  const char* starts[] = {
      "",
      "[Clumns]\r\nWidth3=1\r\n; a comment\r\n\r\n[Other]\r\nkey=value\r\n",
      "[Forms]\nProperty.X=1\n[Clumns]\nWidth12=9",  // LF only, no final line end
      "junk before any section\n[ Clumns ]\n  Width0 = 3  \n",
  };
  for (const char* start : starts) {
    TempDir t;
    WriteBytes(t / "one.ini", start);
    WriteBytes(t / "all.ini", start);
    for (const ProfileEntry& e : CloseLikeWrites())
      ASSERT_TRUE(platform::WritePrivateProfileString(e.section, e.key, e.value, t / "one.ini"));
    ASSERT_TRUE(platform::WritePrivateProfileStrings(CloseLikeWrites(), t / "all.ini"));
    EXPECT_EQ(ReadBytes(t / "all.ini"), ReadBytes(t / "one.ini")) << start;
  }
}

TEST(ProfileBatch, ARefusedWriteLeavesTheFileAndWritesNoKey) {
  TempDir t;
  WriteBytes(t / "a.ini", "[Clumns]\nWidth0=1\n");
  std::vector<ProfileEntry> entries = CloseLikeWrites();
  entries.insert(entries.begin() + 3, {"Clumns", "bad\nkey", "1"});  // cannot be written
  EXPECT_FALSE(platform::WritePrivateProfileStrings(entries, t / "a.ini"));
  EXPECT_EQ(ReadBytes(t / "a.ini"), "[Clumns]\nWidth0=1\n");
}

TEST(ProfileBatch, TIniGTGathersWritesUntilEndUpdate) {
  TempDir t;
  TIniGT ini;
  ini.SetFileName(t / "s.ini");
  ini.BeginUpdate();
  ini.WriteInteger("Clumns", "Width0", 12);
  EXPECT_FALSE(std::filesystem::exists(t / "s.ini"));
  ini.WriteInteger("Clumns", "Width1", 13);
  ini.EndUpdate();
  EXPECT_EQ(ReadBytes(t / "s.ini"), "[Clumns]\nWidth0=12\nWidth1=13\n");
  // Back to writing straight through.
  ini.WriteInteger("Clumns", "Width0", 14);
  EXPECT_EQ(ini.ReadInteger("Clumns", "Width0", 0), 14);

  // Refused as a whole: the file keeps its bytes, the error names it.
  chmod((t / "s.ini").c_str(), 0444);
  const std::string before = ReadBytes(t / "s.ini");
  ini.BeginUpdate();
  ini.WriteInteger("Clumns", "Width0", 1);
  EXPECT_THROW(ini.EndUpdate(), EIniWriteError);
  EXPECT_EQ(ReadBytes(t / "s.ini"), before);
}

TEST(ProfileBatch, TemporariesOfDeadWritersGoAndOthersStay) {
  TempDir t;
  // A process that has certainly ended: a child reaped before the check.
  pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string deadTemp = ".bmslist-" + std::to_string(dead) + "-0.tmp";
  const std::string liveTemp = ".bmslist-" + std::to_string(getpid()) + "-3.tmp";
  for (const std::string& n : {deadTemp, liveTemp, std::string(".bmslist-x-1.tmp"), std::string("Bmslist.ini"),
                               std::string(".bmslist-") + std::to_string(dead) + "-0.txt"})
    WriteBytes(t / n, "x");
  platform::RemoveStaleProfileTemporaries(t.Path());
  EXPECT_FALSE(std::filesystem::exists(t / deadTemp));
  for (const std::string& n : {liveTemp, std::string(".bmslist-x-1.tmp"), std::string("Bmslist.ini"),
                               std::string(".bmslist-") + std::to_string(dead) + "-0.txt"})
    EXPECT_TRUE(std::filesystem::exists(t / n)) << n;
}

}  // namespace
