// SPDX-License-Identifier: MIT
// A whole-file write into a folder that takes no new file: the file is
// written in place, and a failure must still leave its old content.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/io_error.h"
#include "platform/whole_file_write.h"

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A folder no one but root may add files to, holding
// one file anyone may write. The write runs as another user so that the
// folder's permissions hold for it (root ignores them).
class InPlaceWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "bmslist-inplace-XXXXXX").string();
    dir_ = mkdtemp(tmpl.data());
    file_ = dir_ + "/list.csv";
    std::ofstream(file_, std::ios::binary) << kOld;
    chmod(file_.c_str(), 0666);
    chmod(dir_.c_str(), 0555);
  }
  void TearDown() override {
    chmod(dir_.c_str(), 0755);
    std::filesystem::remove_all(dir_);
  }

  // Runs the write as user "nobody", with files limited to `limit` bytes
  // (0: no limit); true when it threw.
  bool WriteAsOtherUser(const std::string& bytes, rlim_t limit) {
    pid_t pid = fork();
    if (pid == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
      if (limit) {
        signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
        rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
      }
      try {
        platform::WriteWholeFile(file_, bytes);
      } catch (const platform::EInOutError&) {
        _exit(1);
      }
      _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 3) << "cannot act as another user";
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
  }

  static constexpr const char* kOld = "\"old.bms\",\"the list as it was\"\r\n";
  std::string dir_, file_;
};

TEST_F(InPlaceWrite, LongerAndShorterContentReplacesTheOld) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const std::string longer(5000, 'x'), shorter = "s\r\n";
  EXPECT_FALSE(WriteAsOtherUser(longer, 0));
  EXPECT_EQ(Read(file_), longer);
  EXPECT_FALSE(WriteAsOtherUser(shorter, 0));
  EXPECT_EQ(Read(file_), shorter);
  EXPECT_FALSE(WriteAsOtherUser("", 0));
  EXPECT_EQ(Read(file_), "");
  // Still the one file: nothing was added to the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(InPlaceWrite, NewContentThatDoesNotFitLeavesTheOldIntact) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  // Room for the old content and a little more, not for the new.
  EXPECT_TRUE(WriteAsOtherUser(std::string(100000, 'n'), std::strlen(kOld) + 100));
  EXPECT_EQ(Read(file_), kOld);
}

}  // namespace
