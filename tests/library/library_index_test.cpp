// SPDX-License-Identifier: MIT
#include "library/library_index.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/support/files.h"

namespace fs = std::filesystem;
using library::LibraryIndex;
using test_support::TempDir;

namespace {

const std::vector<std::string> kBms = {"bms", "bme"};

// The MD5 coreutils gives for `bytes`.
std::string Md5Of(const TempDir& tmp, const std::string& bytes) {
  const std::string f = tmp.Write("md5-input", bytes);
  FILE* p = popen(("md5sum '" + f + "'").c_str(), "r");
  char buf[33] = {};
  EXPECT_EQ(fread(buf, 1, 32, p), 32u);
  pclose(p);
  fs::remove(f);
  return std::string(buf, 32);
}

void SetTime(const std::string& path, int secondsAgo) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

class LibraryIndexTest : public ::testing::Test {
 protected:
  std::string Db() const { return tmp_ / "library.sqlite"; }
  std::string Songs() const { return tmp_ / "songs"; }
  std::string Song(const std::string& rel, const std::string& bytes) {
    const std::string path = tmp_.Write("songs/" + rel, bytes);
    SetTime(path, 100);
    return path;
  }
  TempDir tmp_;
};

TEST_F(LibraryIndexTest, ARescanReadsOnlyWhatChangedAndForgetsWhatWentAway) {
  Song("a/one.bms", "#TITLE one\r\n");
  Song("a/deep/er/two.BME", "#TITLE two\r\n");
  Song("b/three.bms", "#TITLE three\r\n");
  Song("b/sound.wav", "RIFF");
  Song("b/notes.bml", "#TITLE not a kind asked for\r\n");
  LibraryIndex index(Db());
  library::ScanTotals first = index.Scan(Songs(), kBms);
  EXPECT_EQ(first.charts, 3u);
  EXPECT_EQ(first.hashed, 3u);
  EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE two\r\n"), {Songs()}), "a/deep/er/two.BME");
  EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE not a kind asked for\r\n"), {Songs()}), "");

  struct Step {
    const char* what;
    std::function<void()> change;
    std::size_t charts, hashed, removed;
  } steps[] = {
      {"nothing changed", [] {}, 3, 0, 0},
      {"content and size changed", [&] { Song("a/one.bms", "#TITLE one, longer\r\n"); }, 3, 1, 0},
      // Same size, other bytes, other time: read again.
      {"time changed", [&] { Song("b/three.bms", "#TITLE THREE\r\n"); SetTime(tmp_ / "songs/b/three.bms", 50); }, 3, 1, 0},
      {"added", [&] { Song("c/four.bms", "#TITLE four\r\n"); }, 4, 1, 0},
      {"removed", [&] { fs::remove(tmp_ / "songs/a/deep/er/two.BME"); }, 3, 0, 1},
      {"renamed", [&] { fs::rename(tmp_ / "songs/c/four.bms", tmp_ / "songs/c/4.bms"); }, 3, 1, 1},
      {"folder removed", [&] { fs::remove_all(tmp_ / "songs/c"); }, 2, 0, 1},
  };
  for (const Step& s : steps) {
    s.change();
    const library::ScanTotals t = index.Scan(Songs(), kBms);
    EXPECT_EQ(t.charts, s.charts) << s.what;
    EXPECT_EQ(t.hashed, s.hashed) << s.what;
    EXPECT_EQ(t.removed, s.removed) << s.what;
  }
  EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE one\r\n"), {Songs()}), "");
  EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE one, longer\r\n"), {Songs()}), "a/one.bms");
  EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE THREE\r\n"), {Songs()}), "b/three.bms");
  EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE two\r\n"), {Songs()}), "");
  EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE four\r\n"), {Songs()}), "");
}

TEST_F(LibraryIndexTest, FoldersAreKeptApartAndLookedUpInTheOrderGiven) {
  const std::string bytes = "#TITLE same\r\n";
  tmp_.Write("first/x/same.bms", bytes);
  tmp_.Write("second/y/same.bms", bytes);
  {
    LibraryIndex index(Db());
    index.Scan(tmp_ / "first/", kBms);
    index.Scan(tmp_ / "second", kBms);
  }
  LibraryIndex index(Db());  // what was scanned stays in the file
  const std::string md5 = Md5Of(tmp_, bytes);
  EXPECT_EQ(index.LibraryPath(md5, {tmp_ / "second", tmp_ / "first"}), "y/same.bms");
  EXPECT_EQ(index.LibraryPath(md5, {tmp_ / "first"}), "x/same.bms");
  EXPECT_EQ(index.LibraryPath(md5, {tmp_ / "never-scanned"}), "");
  // Emptying one folder forgets only its own charts.
  fs::remove_all(tmp_ / "second/y");
  EXPECT_EQ(index.Scan(tmp_ / "second", kBms).removed, 1u);
  EXPECT_EQ(index.LibraryPath(md5, {tmp_ / "second", tmp_ / "first"}), "x/same.bms");
  EXPECT_THROW(index.Scan(tmp_ / "no-such-folder", kBms), library::LibraryError);
}

TEST_F(LibraryIndexTest, AFileThatIsNoIndexOfOursIsMovedAsideAndANewOneStarted) {
  Song("a/one.bms", "#TITLE one\r\n");
  struct {
    const char* what;
    std::function<void(const std::string&)> spoil;
  } cases[] = {
      {"not a database", [](const std::string& db) { test_support::WriteBytes(db, std::string(5000, 'x')); }},
      {"pages overwritten",
       [](const std::string& db) {
         std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(4096 + 100);  // past the first page, whose header stays good
         const std::string junk(3 * 4096, '\x5A');
         f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
       }},
      {"another version",
       [](const std::string& db) {
         library::SqliteDb sql(db, 1000);
         sql.Exec("PRAGMA user_version=99");
       }},
  };
  for (const auto& c : cases) {
    fs::remove_all(tmp_ / "idx");
    fs::create_directories(tmp_ / "idx");
    const std::string db = tmp_ / "idx/library.sqlite";
    {
      LibraryIndex index(db);
      // Enough rows for several pages.
      for (int n = 0; n < 300; ++n) Song("many/" + std::to_string(n) + ".bms", "#TITLE " + std::to_string(n) + "\r\n");
      index.Scan(Songs(), kBms);
      EXPECT_TRUE(index.SetAsidePath().empty());
    }
    c.spoil(db);
    const std::string spoiled = test_support::ReadBytes(db);
    LibraryIndex index(db);
    ASSERT_FALSE(index.SetAsidePath().empty()) << c.what;
    EXPECT_EQ(test_support::ReadBytes(index.SetAsidePath()), spoiled) << c.what;  // kept as it was
    const library::ScanTotals t = index.Scan(Songs(), kBms);
    EXPECT_EQ(t.hashed, t.charts) << c.what;  // nothing of the old file trusted
    EXPECT_EQ(index.LibraryPath(Md5Of(tmp_, "#TITLE one\r\n"), {Songs()}), "a/one.bms") << c.what;
  }
}

TEST_F(LibraryIndexTest, TwoProcessesScanningAndReadingAtOnceNeitherFailNorCorrupt) {
  for (int n = 0; n < 1500; ++n)
    Song("s" + std::to_string(n / 6) + "/" + std::to_string(n % 6) + ".bms", "#TITLE " + std::to_string(n) + "\r\n");
  const std::string probe = Md5Of(tmp_, "#TITLE 777\r\n");
  // Three children: two scanners and a reader; each its own connection.
  std::vector<pid_t> children;
  for (int role = 0; role < 3; ++role) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int status = 0;
      try {
        LibraryIndex index(Db());
        if (role < 2) {
          if (index.Scan(Songs(), kBms).charts != 1500) status = 3;
        } else {
          for (int k = 0; k < 200; ++k) {
            const std::string found = index.LibraryPath(probe, {Songs()});
            if (!found.empty() && found != "s129/3.bms") status = 4;
          }
        }
        if (!index.SetAsidePath().empty()) status = 5;
      } catch (const std::exception& e) {
        std::fprintf(stderr, "child %d: %s\n", role, e.what());
        status = 2;
      }
      _exit(status);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int st = 0;
    waitpid(pid, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "child status " << st;
  }
  LibraryIndex index(Db());
  EXPECT_TRUE(index.SetAsidePath().empty());
  const library::ScanTotals t = index.Scan(Songs(), kBms);
  EXPECT_EQ(t.charts, 1500u);
  EXPECT_EQ(t.hashed, 0u);  // both scans left every file known
  EXPECT_EQ(t.removed, 0u);
  EXPECT_EQ(index.LibraryPath(probe, {Songs()}), "s129/3.bms");
}

TEST_F(LibraryIndexTest, AnIndexLockedTooLongIsReportedNotMovedAside) {
  Song("a/one.bms", "#TITLE one\r\n");
  LibraryIndex holder(Db());
  holder.Scan(Songs(), kBms);
  library::SqliteDb other(Db(), 1000);
  library::Transaction lock(other);  // a writer that does not finish
  EXPECT_THROW(LibraryIndex(Db(), 100), library::LibraryError);
  EXPECT_TRUE(fs::exists(Db()));
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp_.Path()), fs::directory_iterator()), 4);  // db, -wal, -shm, songs
  // Readers are not held up by it.
  EXPECT_EQ(holder.LibraryPath(Md5Of(tmp_, "#TITLE one\r\n"), {Songs()}), "a/one.bms");
}

TEST_F(LibraryIndexTest, TablesAreStoredReplacedByNameAndRemoved) {
  const std::string md5a(32, 'a'), md5b(32, 'b'), shaC(64, 'c');
  LibraryIndex index(Db());
  library::DifficultyTable insane{"Insane", "★", "/t/insane.html", {{md5a, "", "12", "A"}, {"", shaC, "3", "C"}}, 0};
  library::DifficultyTable normal{"Normal", "☆", "/t/normal.json", {{md5a, "", "8", "A"}, {md5b, "", "1", "B"}}, 0};
  index.StoreTable(insane);
  index.StoreTable(normal);
  EXPECT_EQ(index.TableMarks(md5a, ""), (std::vector<std::string>{"★12", "☆8"}));
  EXPECT_EQ(index.TableMarks("", shaC), (std::vector<std::string>{"★3"}));
  EXPECT_EQ(index.TableMarks(md5b, shaC), (std::vector<std::string>{"★3", "☆1"}));
  EXPECT_TRUE(index.TableMarks("", "").empty());  // entries without a hash match nothing
  EXPECT_TRUE(index.TableMarks(std::string(32, 'f'), "").empty());

  insane.entries = {{md5b, "", "15", "B"}};
  index.StoreTable(insane);  // a newer copy of the same table
  const std::vector<library::StoredTable> tables = index.Tables();
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0].name, "Normal");
  EXPECT_EQ(tables[1].name, "Insane");
  EXPECT_EQ(tables[1].entries, 1u);
  EXPECT_EQ(index.TableMarks(md5a, ""), (std::vector<std::string>{"☆8"}));

  EXPECT_TRUE(index.RemoveTable("Normal"));
  EXPECT_FALSE(index.RemoveTable("Normal"));
  EXPECT_EQ(index.TableMarks(md5b, ""), (std::vector<std::string>{"★15"}));
  EXPECT_EQ(index.Tables().size(), 1u);
}

}  // namespace
