// SPDX-License-Identifier: MIT
// Claims on folders, and whole folders made, moved and removed.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/folder_lock.h"
#include "platform/folder_tree.h"

namespace fs = std::filesystem;

namespace {

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "bmslist-folders-XXXXXX").string();
    root_ = std::string(mkdtemp(tmpl.data())) + "/";
  }
  void TearDown() override { fs::remove_all(root_); }
  void Touch(const std::string& path) { std::ofstream(root_ + path) << "x"; }
  std::string root_;
};

TEST_F(FolderTest, OneClaimAtATimeAndItEndsWithItsHolder) {
  fs::create_directory(root_ + "work");
  auto first = platform::FolderLock::TryLock(root_ + "work");
  ASSERT_TRUE(first);
  EXPECT_FALSE(platform::FolderLock::TryLock(root_ + "work"));
  EXPECT_FALSE(platform::FolderLock::TryLock(root_ + "missing"));
  first.reset();
  EXPECT_TRUE(platform::FolderLock::TryLock(root_ + "work"));
}

TEST_F(FolderTest, AClaimKnowsWhenItsNameNowMeansAnotherFolder) {
  fs::create_directory(root_ + "work");
  auto lock = platform::FolderLock::TryLock(root_ + "work");
  ASSERT_TRUE(lock);
  EXPECT_TRUE(lock->Names(root_ + "work"));
  fs::rename(root_ + "work", root_ + "old");
  fs::create_directory(root_ + "work");
  EXPECT_FALSE(lock->Names(root_ + "work"));
  EXPECT_TRUE(lock->Names(root_ + "old"));
  // The new folder of that name is free to claim.
  EXPECT_TRUE(platform::FolderLock::TryLock(root_ + "work"));
}

TEST_F(FolderTest, RemovingATreeTakesReadOnlyPartsAndNeverFollowsLinks) {
  fs::create_directories(root_ + "outside");
  Touch("outside/keep.txt");
  fs::create_directories(root_ + "tree/a/b");
  Touch("tree/a/b/file.bms");
  Touch("tree/.hidden");
  chmod((root_ + "tree/a/b/file.bms").c_str(), 0444);
  chmod((root_ + "tree/a/b").c_str(), 0555);
  chmod((root_ + "tree/a").c_str(), 0);
  fs::create_directory_symlink(root_ + "outside", root_ + "tree/link");
  EXPECT_TRUE(platform::RemoveFolderTree(root_ + "tree"));
  EXPECT_FALSE(fs::exists(root_ + "tree"));
  EXPECT_TRUE(fs::exists(root_ + "outside/keep.txt"));
  EXPECT_TRUE(platform::RemoveFolderTree(root_ + "tree"));  // already gone
}

TEST_F(FolderTest, AFreshFolderTakesTheEntriesAndTheNameOfAnEmptiedOne) {
  fs::create_directories(root_ + "work/sub");
  Touch("work/.hidden");
  Touch("work/sub/deep.bms");
  std::string fresh = platform::CreateUniqueFolder(root_, "work-");
  ASSERT_FALSE(fresh.empty());
  EXPECT_EQ(fs::path(fresh).filename().string().size(), 11u);
  EXPECT_NE(platform::CreateUniqueFolder(root_, "work-"), fresh);
  struct stat before, after;
  ASSERT_EQ(stat((root_ + "work").c_str(), &before), 0);
  ASSERT_TRUE(platform::MoveFolderEntries(root_ + "work", fresh));
  ASSERT_TRUE(platform::ReplaceEmptyFolder(fresh, root_ + "work"));
  ASSERT_EQ(stat((root_ + "work").c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_TRUE(fs::exists(root_ + "work/.hidden"));
  EXPECT_TRUE(fs::exists(root_ + "work/sub/deep.bms"));
  EXPECT_FALSE(fs::exists(fresh));
  // A folder that still holds something keeps its name.
  std::string other = platform::CreateUniqueFolder(root_, "work-");
  EXPECT_FALSE(platform::ReplaceEmptyFolder(other, root_ + "work"));
}

// The clean-up between archives: every file at the top goes (dot files,
// names no code page 932 holds, links without their targets), folders and
// read-only files stay.
TEST_F(FolderTest, EmptyingTheTopTakesEveryFileButReadOnlyOnesAndKeepsFolders) {
  fs::create_directories(root_ + "work/sub");
  fs::create_directories(root_ + "outside");
  Touch("outside/keep.txt");
  Touch("work/a.bms");
  Touch("work/.DS_Store");
  Touch("work/\xF0\x9F\x98\x80.bms");
  Touch("work/sub/deep.bms");
  Touch("work/stuck.bms");
  chmod((root_ + "work/stuck.bms").c_str(), 0444);
  fs::create_directory_symlink(root_ + "outside", root_ + "work/dirlink");
  fs::create_symlink(root_ + "outside/keep.txt", root_ + "work/filelink.bms");
  fs::create_symlink(root_ + "nowhere", root_ + "work/dangling");
  EXPECT_TRUE(platform::FolderTopHoldsFiles(root_ + "work"));
  EXPECT_EQ(platform::DeleteFilesAtTop(root_ + "work"), 6u);
  std::vector<std::string> left;
  for (auto& e : fs::directory_iterator(root_ + "work")) left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"stuck.bms", "sub"}));
  EXPECT_TRUE(fs::exists(root_ + "outside/keep.txt"));
  EXPECT_TRUE(fs::exists(root_ + "work/sub/deep.bms"));
  EXPECT_TRUE(platform::FolderTopHoldsFiles(root_ + "work"));
  chmod((root_ + "work/stuck.bms").c_str(), 0644);
  EXPECT_EQ(platform::DeleteFilesAtTop(root_ + "work"), 1u);
  EXPECT_FALSE(platform::FolderTopHoldsFiles(root_ + "work"));  // a folder is no file
  EXPECT_EQ(platform::DeleteFilesAtTop(root_ + "missing"), 0u);
  EXPECT_FALSE(platform::FolderTopHoldsFiles(root_ + "missing"));
}

}  // namespace
