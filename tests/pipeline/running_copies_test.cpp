// SPDX-License-Identifier: MIT
// bmslist-cli as programs running side by side, killed half-way, or meeting
// archives and libraries that fail: each list is what it would be alone, and
// every failure is said on standard error.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/paths.h"
#include "tests/support/song_archives.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;
using test_support::SongFile;

namespace {

std::vector<SongFile> Charts(const std::string& tag, int charts, int fillers) {
  std::vector<SongFile> files;
  for (int i = 0; i < charts; ++i)
    files.push_back({"song/" + tag + "-" + std::to_string(i) + ".bms", "#TITLE " + tag + "\r\n#BPM 1" + std::to_string(i) + "\r\n"});
  for (int i = 0; i < fillers; ++i) files.push_back({"song/k" + std::to_string(i) + ".wav", std::string(300, 'w')});
  return files;
}

class RunningCopies : public ::testing::Test {
 protected:
  void SetUp() override { app_ = CopyProgram("app/"); }

  // bmslist-cli and its libraries in a folder of the scratch folder.
  std::string CopyProgram(const std::string& folder) {
    std::string app = tmp_.Path() + folder;
    fs::create_directories(app);
    const std::string bin = platform::Cp932ToUtf8(platform::ExecutableDir());
    for (const char* f : {"bmslist-cli", "libbmsplatform.so", "UNLHA32.DLL", "UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL",
                          "CAB32.DLL", "UNARJ32J.DLL", "tar32.dll", "UNRAR32.DLL"})
      fs::copy_file(bin + f, app + f);
    return app;
  }

  // The shell command that runs `app`'s bmslist-cli in the scratch folder,
  // CSV and standard error into files named after `tag`.
  std::string Command(const std::string& args, const std::string& tag, const std::string& app) {
    return "cd '" + tmp_.Path() + "' && XDG_CACHE_HOME='" + tmp_.Path() + "cache' '" + app + "bmslist-cli' " + args +
           " >'" + tmp_.Path() + tag + ".csv' 2>'" + tmp_.Path() + tag + ".err'";
  }
  int Run(const std::string& command) {
    int st = std::system(command.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  std::string Out(const std::string& tag) { return test_support::ReadBytes(tmp_.Path() + tag + ".csv"); }
  std::string Err(const std::string& tag) { return test_support::ReadBytes(tmp_.Path() + tag + ".err"); }
  std::vector<std::string> ErrLines(const std::string& tag) {
    std::vector<std::string> lines;
    std::string err = Err(tag);
    for (std::size_t at = 0, nl; (nl = err.find('\n', at)) != std::string::npos; at = nl + 1)
      lines.push_back(err.substr(at, nl - at));
    return lines;
  }
  std::vector<std::string> Folders(const std::string& dir) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir))
      if (e.is_directory()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test_support::TempDir tmp_;
  std::string app_;
};

TEST_F(RunningCopies, TwoAtOnceEachListExactlyWhatTheyListAlone) {
  std::string first, second;
  for (int i = 0; i < 6; ++i) {
    const std::string a = "a" + std::to_string(i) + ".zip", b = "b" + std::to_string(i) + ".lzh";
    ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), a, Charts("a" + std::to_string(i), 5, 60)));
    ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), b, Charts("b" + std::to_string(i), 5, 60)));
    first += " " + a;
    second += " " + b;
  }
  ASSERT_EQ(Run(Command(first, "alone-a", app_)), 0);
  ASSERT_EQ(Run(Command(second, "alone-b", app_)), 0);
  const std::string aloneA = Out("alone-a"), aloneB = Out("alone-b");
  ASSERT_EQ(std::count(aloneA.begin(), aloneA.end(), '\n'), 30);
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(Run("(" + Command(first, "a", app_) + ") & (" + Command(second, "b", app_) + "); wait"), 0);
    EXPECT_EQ(Out("a"), aloneA) << "round " << round << Err("a");
    EXPECT_EQ(Out("b"), aloneB) << "round " << round << Err("b");
  }
  // The copy that came second worked in a folder of its own, gone with it.
  EXPECT_EQ(Folders(app_), std::vector<std::string>{"work"});
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
}

TEST_F(RunningCopies, AKillHalfWayThroughAnArchiveCostsTheNextRunNothing) {
  // Many small charts, stored: quick to make, long enough to unpack.
  fs::create_directories(tmp_.Path() + "big");
  for (int i = 0; i < 4000; ++i) test_support::WriteBytes(tmp_.Path() + "big/big-" + std::to_string(i) + ".bms", "#TITLE big\r\n");
  ASSERT_EQ(Run("cd '" + tmp_.Path() + "' && zip -q -0 -r big.zip big"), 0);
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "small.zip", Charts("small", 2, 0)));
  // Killed as soon as the archive has begun to land in the working folder.
  bool leftovers = false;
  for (int attempt = 0; attempt < 5 && !leftovers; ++attempt) {
    const std::string program = app_ + "bmslist-cli";
    pid_t pid = fork();
    if (pid == 0) {
      int null = open("/dev/null", O_WRONLY);
      if (chdir(tmp_.Path().c_str()) != 0 || null < 0) _exit(127);
      dup2(null, 1);
      dup2(null, 2);
      execl(program.c_str(), "bmslist-cli", "big.zip", static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 2000 && !leftovers; ++i) {
      leftovers = fs::exists(app_ + "work") && !fs::is_empty(app_ + "work");
      if (!leftovers) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    leftovers = fs::exists(app_ + "work") && !fs::is_empty(app_ + "work");
  }
  ASSERT_TRUE(leftovers) << "the run ended before it could be killed";

  ASSERT_EQ(Run(Command("small.zip", "next", app_)), 0);
  std::string csv = Out("next");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2) << csv.substr(0, 400);
  EXPECT_EQ(csv.find("big-"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
  EXPECT_EQ(Err("next"), "");
}

TEST_F(RunningCopies, EveryArchiveThatFailedOrGaveNoChartIsSaidOnce) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "good.zip", test_support::TypicalSong()));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.arj", test_support::TypicalSong()));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.cab", test_support::TypicalSong()));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "nochart.lzh", {{"song/readme.txt", "no charts here"}}));
  test_support::WriteBytes(tmp_.Path() + "notes.txt", "not an archive");
  test_support::WriteBytes(tmp_.Path() + "fake.zip", std::string(200, 'z'));
  ASSERT_EQ(Run("cd '" + tmp_.Path() + "' && printf '#TITLE secret\\r\\n' > s.bms && zip -q -P pw locked.zip s.bms"), 0);
  // Damage inside the compressed data of the first chart.
  std::string damaged = test_support::ReadBytes(tmp_.Path() + "good.zip");
  for (std::size_t i = 60; i < 90; ++i) damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
  test_support::WriteBytes(tmp_.Path() + "damaged.zip", damaged);
  fs::remove(app_ + "UNARJ32J.DLL");                                   // missing
  test_support::WriteBytes(app_ + "CAB32.DLL", "not a shared library");  // damaged

  ASSERT_EQ(Run(Command("notes.txt good.zip song.arj song.cab nochart.lzh fake.zip locked.zip damaged.zip setup.exe",
                        "mixed", app_)),
            0);
  // The list is as it always was: the sound archive's rows, and whatever
  // the damaged one still gave.
  std::string csv = Out("mixed");
  auto rowsOf = [&](const std::string& archive) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = csv.find("\"" + archive + "\"", at)) != std::string::npos; ++at) ++n;
    return n;
  };
  EXPECT_EQ(rowsOf("good.zip"), 2u) << csv;
  for (const char* none : {"notes.txt", "song.arj", "song.cab", "nochart.lzh", "fake.zip", "locked.zip"})
    EXPECT_EQ(rowsOf(none), 0u) << none;
  struct Expected {
    const char* archive;
    const char* reason;
  } expected[] = {
      {"notes.txt", "形式がわかりません"},
      {"song.arj", "書庫ライブラリがないか使えません"},
      {"song.cab", "書庫ライブラリがないか使えません"},
      {"nochart.lzh", "書庫の一番上に譜面 (*.bms) がありません"},
      {"fake.zip", "この形式の書庫として読めません"},
      {"locked.zip", "暗号化された項目があります"},
      {"damaged.zip", "壊れた項目があります"},
  };
  std::vector<std::string> lines = ErrLines("mixed");
  ASSERT_EQ(lines.size(), std::size(expected)) << Err("mixed");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("bmslist-cli: " + tmp_.Path() + expected[i].archive + ": ", 0), 0u) << lines[i];
    EXPECT_NE(lines[i].find(expected[i].reason), std::string::npos) << lines[i];
  }
}

TEST_F(RunningCopies, AQuoteInTheProgramsFolderCostsNoRow) {
  std::string quoted = CopyProgram("my \"songs\" tool/");
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  ASSERT_EQ(Run(Command("song.zip", "quoted", quoted)), 0);
  std::string csv = Out("quoted");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2) << Err("quoted");
  EXPECT_EQ(Err("quoted"), "");
  // The libraries cannot be told a folder with a quote: the per-user cache
  // folder served instead.
  EXPECT_FALSE(fs::exists(quoted + "work"));
  EXPECT_TRUE(fs::is_empty(tmp_.Path() + "cache/bmslist/work"));

  // Where no folder without a quote is to be had, each archive says why.
  fs::create_directories(tmp_.Path() + "q\"cache");
  ASSERT_EQ(Run("cd '" + tmp_.Path() + "' && XDG_CACHE_HOME='" + tmp_.Path() + "q\"cache' '" + quoted +
                "bmslist-cli' song.zip song.zip >'" + tmp_.Path() + "none.csv' 2>'" + tmp_.Path() + "none.err'"),
            0);
  EXPECT_EQ(Out("none"), "");
  std::vector<std::string> lines = ErrLines("none");
  ASSERT_EQ(lines.size(), 2u) << Err("none");
  EXPECT_NE(lines[0].find("書庫ライブラリに渡せないパスです"), std::string::npos) << lines[0];
}

}  // namespace
