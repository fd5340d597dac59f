// Claims on folders, and whole folders made, moved and removed.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
