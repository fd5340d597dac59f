// SPDX-License-Identifier: MIT
// The working folder of a running copy: claimed, private when another copy
// holds "work", cleared of what killed runs left, made anew after a flood.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/paths.h"
#include "tests/support/song_archives.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

class WorkingFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const std::string binDir = platform::ExecutableDir();
    app_ = tmp_.Path() + "app/";
    fs::create_directories(app_);
    platform::OverrideExecutableDirForTesting(app_);
    platform::SetLibrarySearchDirForTesting(binDir, false);
    ApplyMainWindowSettings(af_);
    window_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
  }
  void TearDown() override {
    platform::SetCurrentDirectory("/");
    ReleaseWorkingFolder();
    platform::DestroyMessageWindow(window_);
    platform::OverrideExecutableDirForTesting("");
    platform::SetLibrarySearchDirForTesting("", false);
  }
  std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  ino_t Inode(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_ino;
  }
  std::vector<std::string> DropCaptions(const std::string& archive) {
    ChartList list;
    DropPipeline pipeline(list, af_, window_);
    pipeline.WMDropFiles({platform::Utf8ToCp932(tmp_.Path() + archive)});
    std::vector<std::string> out;
    for (const auto& r : list.Rows()) out.push_back(r.caption);
    return out;
  }

  test_support::TempDir tmp_;
  std::string app_;
  TArchiveFile af_;
  platform::WindowHandle window_ = 0;
};

TEST_F(WorkingFolderTest, ACopyStartedWhileAnotherHoldsWorkGetsAPrivateFolderGoneAtItsEnd) {
  fs::create_directories(app_ + "work");
  auto otherCopy = platform::FolderLock::TryLock(platform::Utf8ToCp932(app_ + "work"));
  ASSERT_TRUE(otherCopy);
  CreateWorkingFolder();
  EXPECT_TRUE(WorkingFolderIsPrivate());
  const std::string mine = platform::Cp932ToUtf8(WorkingFolderForUnpacking());
  EXPECT_EQ(fs::path(mine).parent_path().string() + "/", app_);
  EXPECT_EQ(fs::path(mine).filename().string().rfind("work-", 0), 0u);

  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  EXPECT_EQ(DropCaptions("song.zip"), (std::vector<std::string>{"a.bms", "b.BMS"}));
  ReleaseWorkingFolder();
  EXPECT_FALSE(fs::exists(mine));
  EXPECT_EQ(Entries(app_), std::vector<std::string>{"work"});

  // Once the other copy has ended, "work" is to be had again.
  otherCopy.reset();
  CreateWorkingFolder();
  EXPECT_FALSE(WorkingFolderIsPrivate());
  EXPECT_EQ(WorkingFolderForUnpacking(), platform::Utf8ToCp932(app_ + "work"));
}

// The second folder a drop on two cores unpacks into is claimed like a
// private one: no other copy starting meanwhile takes it for abandoned.
TEST_F(WorkingFolderTest, TheSecondFolderIsClaimedBesideTheFirstAndGoesAtTheEnd) {
  CreateWorkingFolder();
  const std::string spare = SpareWorkingFolder();
  ASSERT_FALSE(spare.empty());
  EXPECT_EQ(SpareWorkingFolder(), spare);
  const std::string name = fs::path(platform::Cp932ToUtf8(spare)).filename().string();
  EXPECT_EQ(name.rfind("work-", 0), 0u);
  EXPECT_FALSE(platform::FolderLock::TryLock(spare));
  EXPECT_EQ(Entries(app_), (std::vector<std::string>{"work", name}));

  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "one.zip", test_support::TypicalSong()));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "two.lzh", test_support::TypicalSong()));
  ChartList list;
  DropPipeline pipeline(list, af_, window_);
  pipeline.bothCores = true;
  pipeline.WMDropFiles({platform::Utf8ToCp932(tmp_.Path() + "one.zip"), platform::Utf8ToCp932(tmp_.Path() + "two.lzh")});
  EXPECT_EQ(list.Count(), 4u);
  EXPECT_EQ(Entries(app_ + name), std::vector<std::string>{});
  ReleaseWorkingFolder();
  EXPECT_EQ(Entries(app_), std::vector<std::string>{"work"});
}

TEST_F(WorkingFolderTest, PrivateFoldersOfKilledCopiesGoAtTheNextStartOthersStay) {
  fs::create_directories(app_ + "work-Ab12Cd/sub");
  test_support::WriteBytes(app_ + "work-Ab12Cd/sub/left.bms", "x");
  fs::create_directories(app_ + "work-Live00");
  fs::create_directories(app_ + "work-mine-keep");  // not a name the program gives
  auto live = platform::FolderLock::TryLock(platform::Utf8ToCp932(app_ + "work-Live00"));
  ASSERT_TRUE(live);
  CreateWorkingFolder();
  EXPECT_EQ(Entries(app_), (std::vector<std::string>{"work", "work-Live00", "work-mine-keep"}));
}

TEST_F(WorkingFolderTest, WhatAKilledRunLeftIsNotListedAsTheNextArchivesCharts) {
  CreateWorkingFolder();
  for (int i = 0; i < 50; ++i) test_support::WriteBytes(app_ + "work/left" + std::to_string(i) + ".bms", "#TITLE x\r\n");
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  EXPECT_EQ(DropCaptions("song.zip"), (std::vector<std::string>{"a.bms", "b.BMS"}));
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
}

TEST_F(WorkingFolderTest, AFolderEmptiedOfAGreatManyFilesIsMadeAnewKeepingItsFolders) {
  CreateWorkingFolder();
  fs::create_directories(app_ + "work/kept/deep");
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  const ino_t before = Inode(app_ + "work");
  EXPECT_EQ(DropCaptions("song.zip").size(), 2u);
  EXPECT_EQ(Inode(app_ + "work"), before);  // a few files: only emptied

  for (int i = 0; i < 10000; ++i) test_support::WriteBytes(app_ + "work/f" + std::to_string(i) + ".wav", "");
  EXPECT_EQ(DropCaptions("song.zip").size(), 2u);
  EXPECT_NE(Inode(app_ + "work"), before);
  EXPECT_EQ(Entries(app_ + "work"), std::vector<std::string>{"kept"});
  EXPECT_TRUE(fs::exists(app_ + "work/kept/deep"));
  EXPECT_EQ(Entries(app_), std::vector<std::string>{"work"});
  // Still this copy's: another claim finds it taken.
  EXPECT_FALSE(platform::FolderLock::TryLock(platform::Utf8ToCp932(app_ + "work")));
}

}  // namespace
