// SPDX-License-Identifier: MIT
// The one way a user's file is replaced: whole or not at all, with the old
// file's permissions, through links, and without leftovers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/io_error.h"
#include "platform/replacement_file.h"
#include "tests/support/files.h"

namespace {

using test_support::ReadBytes;
using test_support::TempDir;
using test_support::TreeOf;

mode_t ModeOf(const std::string& path) {
  struct stat st{};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(ReplacementFile, ReplacesOnlyOnCommitAndKeepsPermissions) {
  TempDir dir;
  std::string target = dir.Write("a.ini", "old");
  chmod(target.c_str(), 0640);
  {
    platform::ReplacementFile file(target);
    file.Write("new content");
    EXPECT_EQ(ReadBytes(target), "old");  // nothing shows before the commit
    file.Commit();
  }
  EXPECT_EQ(ReadBytes(target), "new content");
  EXPECT_EQ(ModeOf(target), 0640u);
  EXPECT_EQ(TreeOf(dir.Path()), std::vector<std::string>{"a.ini"});
}

TEST(ReplacementFile, AbandonedLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  std::string target = dir.Write("a.csv", "old");
  {
    platform::ReplacementFile file(target);
    file.Write("half");
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(TreeOf(dir.Path()), std::vector<std::string>{"a.csv"});
}

TEST(ReplacementFile, ThroughALinkTheNamedFileIsReplaced) {
  TempDir dir;
  std::string real = dir.Write("real/a.txt", "old");
  ASSERT_EQ(symlink(real.c_str(), (dir / "link.txt").c_str()), 0);
  platform::ReplacementFile file(dir / "link.txt");
  file.Write("new");
  file.WriteAt(0, "N", 1);
  file.Commit();
  EXPECT_EQ(ReadBytes(real), "New");
  struct stat st{};
  ASSERT_EQ(lstat((dir / "link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(ReplacementFile, AMissingFolderIsAnIoError) {
  TempDir dir;
  try {
    platform::ReplacementFile file(dir / "missing/a.txt");
    FAIL() << "created";
  } catch (const platform::EInOutError& e) {
    EXPECT_EQ(e.Code(), platform::kIoPathNotFound);
  }
}

TEST(SetAside, MovesTheFileToAFreshNameAndBack) {
  TempDir dir;
  std::string target = dir.Write("a.zip", "archive");
  std::string aside = platform::SetAside(target);
  EXPECT_NE(aside, target);
  EXPECT_EQ(access(target.c_str(), F_OK), -1);
  EXPECT_EQ(ReadBytes(aside), "archive");
  platform::RenameFile(aside, target);
  EXPECT_EQ(TreeOf(dir.Path()), std::vector<std::string>{"a.zip"});
}

}  // namespace
