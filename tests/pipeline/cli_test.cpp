// SPDX-License-Identifier: MIT
// bmslist-cli as a program: a copy of it with the archiver libraries in a
// scratch folder, so its working folder is its own.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/paths.h"
#include "tests/support/song_archives.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
  int status = -1;
  std::string out;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = tmp_.Path() + "app/";
    fs::create_directories(app_);
    const std::string bin = platform::Cp932ToUtf8(platform::ExecutableDir());
    for (const char* f : {"bmslist-cli", "libbmsplatform.so", "UNLHA32.DLL", "UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL",
                          "CAB32.DLL", "UNARJ32J.DLL", "tar32.dll", "UNRAR32.DLL", "7-ZIP32.DLL"})
      fs::copy_file(bin + f, app_ + f);
  }
  // Runs in the scratch folder, or in its sub-folder `in`.
  CliRun Cli(const std::string& args, const std::string& in = "") {
    CliRun r;
    std::string cmd = "cd '" + tmp_.Path() + in + "' && '" + app_ + "bmslist-cli' " + args + " 2>'" + tmp_.Path() +
                      "err.txt'";
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
  }
  std::string Err() { return test_support::ReadBytes(tmp_.Path() + "err.txt"); }

  test_support::TempDir tmp_;
  std::string app_;
};

TEST_F(CliTest, WritesTheCsvOfRelativePathsMadeAbsolute) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "pack.lzh", {{"c.bms", "#ARTIST \"q\"\r\n#TITLE a,b\r\n"}}));
  CliRun r = Cli("song.zip setup.exe pack.lzh");
  ASSERT_EQ(r.status, 0) << Err();
  const std::string dir = platform::Utf8ToCp932(tmp_.Path());
  const std::string expected =
      "\"a.bms\",\"taro\",\"TECHNO\",\"" + test_support::JapaneseTitle() +
      "\",\"7\",\"1\",\"150\",\"\",\"\x81\x9B\",\"\",\"2024/05/03\",\"song.zip\",\"" + dir + "\"\r\n" +
      "\"b.BMS\",\"\",\"\",\"other\",\"\",\"\",\"95\",\"\x81\x9B\",\"\",\"\x81\x9B\",\"2024/05/03\",\"song.zip\",\"" + dir +
      "\"\r\n" + "\"c.bms\",\"\"q\"\",\"\",\"a,b\",\"\",\"\",\"\",\"\",\"\",\"\",\"2024/05/03\",\"pack.lzh\",\"" + dir +
      "\"\r\n";
  EXPECT_EQ(r.out, expected);
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
}

TEST_F(CliTest, AFolderListsItsChartsInPlaceThenItsArchivesUnlessToldNot) {
  fs::create_directories(tmp_.Path() + "songs/one");
  test_support::WriteBytes(tmp_.Path() + "songs/one/x.bms", "#TITLE in place\r\n");
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path() + "songs/", "pack.zip", {{"p.bms", "#TITLE packed\r\n"}}));
  fs::remove_all(tmp_.Path() + "songs/src-pack.zip");
  fs::create_directories(tmp_.Path() + "nothing");
  const std::string dir = platform::Utf8ToCp932(tmp_.Path());
  const std::string inPlace = "\"x.bms\",\"\",\"\",\"in place\",\"\",\"\",\"\",\"\",\"\",\"\"";
  struct Case {
    const char* args;
    std::vector<std::string> archiveFields;  // the last two fields of each row
  } cases[] = {
      {"songs nothing", {"\"one\",\"" + dir + "songs/one/\"", "\"pack.zip\",\"" + dir + "songs/\""}},
      {"--no-folder-archives songs", {"\"one\",\"" + dir + "songs/one/\""}},
  };
  for (const Case& c : cases) {
    CliRun r = Cli(c.args);
    ASSERT_EQ(r.status, 0) << c.args << Err();
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < r.out.size()) {
      const std::size_t end = r.out.find("\r\n", start);
      const std::string line = r.out.substr(start, end - start);
      const std::size_t name = line.rfind("\",\"", line.rfind("\",\"") - 1);
      fields.push_back(line.substr(name + 2));
      start = end + 2;
    }
    EXPECT_EQ(fields, c.archiveFields) << c.args;
    EXPECT_EQ(r.out.rfind(inPlace, 0), 0u) << c.args;
    // A folder without charts is said, as an archive without them is.
    EXPECT_EQ(Err().find("nothing: ") != std::string::npos, std::string(c.args).find("nothing") != std::string::npos)
        << Err();
  }
}

TEST_F(CliTest, InstallingFromAFolderInstallsItsArchivesOnly) {
  fs::create_directories(tmp_.Path() + "dl/loose");
  test_support::WriteBytes(tmp_.Path() + "dl/loose/x.bms", "#TITLE in place\r\n");
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path() + "dl/", "pack.zip", {{"p.bms", "#TITLE packed\r\n"}}));
  fs::remove_all(tmp_.Path() + "dl/src-pack.zip");
  CliRun r = Cli("--csv list.csv --install-to songs dl");
  ASSERT_EQ(r.status, 0) << Err();
  EXPECT_TRUE(fs::exists(tmp_.Path() + "songs/pack/p.bms"));
  EXPECT_FALSE(fs::exists(tmp_.Path() + "songs/loose"));
  EXPECT_EQ(Err().find("フォルダから読んだ譜面"), std::string::npos) << Err();
}

TEST_F(CliTest, WritesToAFileAndReportsAFileItCannotWrite) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.tgz", test_support::TypicalSong()));
  CliRun ok = Cli("--csv list.csv song.tgz");
  ASSERT_EQ(ok.status, 0) << Err();
  EXPECT_EQ(ok.out, "");
  std::string csv = test_support::ReadBytes(tmp_.Path() + "list.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);

  CliRun bad = Cli("--csv no/such/dir/list.csv song.tgz");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(Err().find("no/such/dir/list.csv: the folder " + tmp_.Path() + "no/such/dir does not exist"),
            std::string::npos)
      << Err();
}

// A CSV that cannot be written is refused before anything is unpacked,
// naming what is wrong; an input archive is never overwritten, whatever
// name reaches it.
TEST_F(CliTest, ACsvTargetThatCannotBeWrittenIsRefusedWithItsReason) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  const std::string song = test_support::ReadBytes(tmp_.Path() + "song.zip");
  fs::create_hard_link(tmp_.Path() + "song.zip", tmp_.Path() + "hard.zip");
  fs::create_symlink("song.zip", tmp_.Path() + "link.zip");
  fs::create_directory(tmp_.Path() + "folder.csv");
  const std::string inputs = "is one of the archives to list; the CSV would overwrite it";
  struct Case {
    std::string args, said;
  } cases[] = {
      {"--csv song.zip song.zip", "song.zip: " + inputs},
      {"--csv ./x/../song.zip song.zip", "./x/../song.zip: " + inputs},
      {"--csv hard.zip song.zip", "hard.zip: " + inputs},
      {"--csv song.zip link.zip", "song.zip: " + inputs},
      {"--csv nodir/x.csv song.zip", "nodir/x.csv: the folder " + tmp_.Path() + "nodir does not exist"},
      {"--csv song.zip/x.csv song.zip", "song.zip/x.csv: " + tmp_.Path() + "song.zip is not a folder"},
      {"--csv folder.csv song.zip", "folder.csv: is a folder"},
      {"--csv /proc/x.csv song.zip", "/proc/x.csv: no file can be made in the folder /proc"},
      {"song.zip >/dev/full", "standard output: ディスクがいっぱいです"},
  };
  for (const Case& c : cases) {
    CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_EQ(Err(), "bmslist-cli: " + c.said + "\n") << c.args;
    EXPECT_EQ(test_support::ReadBytes(tmp_.Path() + "song.zip"), song) << c.args;
  }
}

// A temporary file of an export killed part-way goes at the next export
// beside it; one of a process still running stays.
TEST_F(CliTest, AKilledExportsTemporaryFileGoesAtTheNextExport) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  fs::create_directory(tmp_.Path() + "out");
  const std::string dead = tmp_.Path() + "out/.bmslist-2147483646-0.tmp";
  const std::string live = tmp_.Path() + "out/.bmslist-" + std::to_string(getpid()) + "-0.tmp";
  test_support::WriteBytes(dead, "half a list");
  test_support::WriteBytes(live, "being written");
  ASSERT_EQ(Cli("--csv out/list.csv song.zip").status, 0) << Err();
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(tmp_.Path() + "out/list.csv"));
}

TEST_F(CliTest, UsageErrorsAndHelp) {
  struct Case {
    const char* args;
    int status;
    const char* errorPart;
  } cases[] = {
      {"", 2, "no archive given"},
      {"--csv", 2, "--csv needs a file name"},
      {"--bogus x.zip", 2, "unknown option --bogus"},
      {"--ext", 2, "--ext needs a value"},
      {"--ext bms,bmsx x.zip", 2, "unknown chart extension \"bmsx\""},
      {"--ext= x.zip", 2, "unknown chart extension \"\""},
      {"--csv-format xml x.zip", 2, "\"xml\" is neither classic nor utf8"},
      {"x.zip --csv-format", 2, "--csv-format needs a value"},
      {"--jobs 4 x.zip", 2, "--jobs: \"4\" is neither 1 nor 2"},
      {"x.zip --jobs", 2, "--jobs needs a value"},
  };
  for (const auto& c : cases) {
    CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_NE(Err().find(c.errorPart), std::string::npos) << c.args << ": " << Err();
  }
  CliRun help = Cli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: bmslist-cli [--csv FILE] [--ext LIST] [--hash] [--facts]\n"
                          "                   [--csv-format FORMAT] [--charts-only] [--jobs N]\n"
                          "                   [--no-folder-archives]\n"
                          "                   [--install-to DIR] [--library DIR]... [--table FILE]...\n"
                          "                   PATH..."),
            std::string::npos);
  for (const char* flag : {"--no-folder-archives", "--ext LIST", "--hash", "--facts", "--csv-format FORMAT", "bms,bme,bmson", "utf8",
                           "--charts-only", "--jobs N", "--library DIR", "--table FILE"})
    EXPECT_NE(help.out.find(flag), std::string::npos) << flag;
  EXPECT_NE(help.out.find("--version"), std::string::npos);
  CliRun version = Cli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("bmslist-cli ", 0), 0u) << version.out;
  EXPECT_EQ(version.out.back(), '\n');
  EXPECT_EQ(Cli("-- --version").status, 0);  // after "--", a (missing) archive named so
}

// The hash coreutils' md5sum or sha256sum gives for `bytes`.
std::string ToolHash(const char* tool, const std::string& bytes) {
  test_support::TempDir dir;
  std::ofstream(dir.Path() + "f", std::ios::binary) << bytes;
  std::string cmd = std::string(tool) + " '" + dir.Path() + "f'";
  FILE* p = popen(cmd.c_str(), "r");
  char buf[128] = {};
  std::size_t n = fread(buf, 1, sizeof buf - 1, p);
  pclose(p);
  std::string out(buf, n);
  return out.substr(0, out.find(' '));
}

// A song with charts of every kind and encoding: Shift-JIS .bms, UTF-8 .bms,
// Korean .bme, a UTF-16 .pms and a .bml.
std::vector<test_support::SongFile> ModernSong() {
  return {
      {"song/sjis.bms", "#TITLE " + test_support::JapaneseTitle() + "\r\n#ARTIST a\"b\r\n"},
      {"song/utf8.bms", "#TITLE 山田の曲\r\n#ARTIST 山田 太郎\r\n"},
      {"song/korean.bme", "#TITLE \xB3\xEB\xB7\xA1\r\n#ARTIST \xB1\xE8\xC3\xB6\xBC\xF6\r\n"},  // 노래, 김철수
      {"song/wide.pms", std::string("\xFF\xFE#\0T\0I\0T\0L\0E\0 \0w\0\r\0\n\0", 24)},
      {"song/long.BML", "#TITLE long\r\n"},
      {"song/readme.txt", "not a chart"},
  };
}

TEST_F(CliTest, EachOptionAndTheDefaultsThatKeepTheBytes) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "modern.zip", ModernSong()));
  const std::string dir = platform::Utf8ToCp932(tmp_.Path());
  const std::string tail = "\"2024/05/03\",\"modern.zip\",\"" + dir + "\"";
  const std::string sjisRow = "\"sjis.bms\",\"a\"b\",\"\",\"" + test_support::JapaneseTitle() + "\",\"\",\"\",\"\",\"\",\"\",\"\"," + tail;
  const std::string utf8Row = "\"utf8.bms\",\"山田 太郎\",\"\",\"山田の曲\",\"\",\"\",\"\",\"\",\"\",\"\"," + tail;

  // Defaults: .bms only, bytes as read whatever their encoding.
  CliRun plain = Cli("modern.zip");
  ASSERT_EQ(plain.status, 0) << Err();
  EXPECT_EQ(plain.out, sjisRow + "\r\n" + utf8Row + "\r\n");
  EXPECT_EQ(Cli("--ext bms --csv-format classic modern.zip").out, plain.out);

  // Every chart kind, in name order.
  CliRun all = Cli("--ext bms,bme,bml,pms modern.zip");
  ASSERT_EQ(all.status, 0) << Err();
  EXPECT_EQ(all.out, "\"korean.bme\",\"\xB1\xE8\xC3\xB6\xBC\xF6\",\"\",\"\xB3\xEB\xB7\xA1\",\"\",\"\",\"\",\"\",\"\",\"\"," +
                         tail + "\r\n\"long.BML\",\"\",\"\",\"long\",\"\",\"\",\"\",\"\",\"\",\"\"," + tail + "\r\n" + sjisRow +
                         "\r\n" + utf8Row + "\r\n\"wide.pms\",\"\",\"\",\"w\",\"\",\"\",\"\",\"\",\"\",\"\"," + tail + "\r\n");
  EXPECT_EQ(Cli("--ext=PMS modern.zip").out.substr(0, 10), "\"wide.pms\"");

  // Hashes: the chart file's bytes, lower-case hex, after the thirteen fields.
  CliRun hashed = Cli("--hash modern.zip");
  ASSERT_EQ(hashed.status, 0) << Err();
  EXPECT_EQ(hashed.out, sjisRow + ",\"" + ToolHash("md5sum", ModernSong()[0].bytes) + "\",\"" +
                            ToolHash("sha256sum", ModernSong()[0].bytes) + "\"\r\n" + utf8Row + ",\"" +
                            ToolHash("md5sum", ModernSong()[1].bytes) + "\",\"" + ToolHash("sha256sum", ModernSong()[1].bytes) +
                            "\"\r\n");

  // UTF-8: every field decoded with its chart's encoding, quotes doubled.
  CliRun utf8 = Cli("--csv-format utf8 --ext bme,bms --csv out.csv modern.zip");
  ASSERT_EQ(utf8.status, 0) << Err();
  const std::string utf8Dir = tmp_.Path();
  const std::string utf8Tail = "\"2024/05/03\",\"modern.zip\",\"" + utf8Dir + "\"";
  EXPECT_EQ(test_support::ReadBytes(tmp_.Path() + "out.csv"),
            "\xEF\xBB\xBF\"korean.bme\",\"김철수\",\"\",\"노래\",\"\",\"\",\"\",\"\",\"\",\"\"," + utf8Tail + "\r\n" +
                "\"sjis.bms\",\"a\"\"b\",\"\",\"" + platform::Cp932ToUtf8(test_support::JapaneseTitle()) +
                "\",\"\",\"\",\"\",\"\",\"\",\"\"," + utf8Tail + "\r\n" + utf8Row + "\r\n");
}

// Names code page 932 cannot hold, of the archive or of its folder: the
// rows are those of a CP932-named copy but for the archive fields, which
// hold the name as it is (UTF-8; the classic CSV keeps those bytes).
TEST_F(CliTest, ListsArchivesWhoseNamesCp932CannotHold) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.lzh", test_support::TypicalSong()));
  fs::create_directories(tmp_.Path() + "Música");
  const std::vector<std::string> names = {"Café_song.lzh", "노래.lzh", "\xF0\x9F\x98\x80.lzh", "Música/in.lzh"};
  for (const std::string& n : names) fs::copy_file(tmp_.Path() + "song.lzh", tmp_.Path() + n);
  // One line per chart: the fields before the archive's, and the two after.
  auto rowsOf = [](const std::string& csv) {
    std::vector<std::string> rows;
    for (std::size_t at = csv.find('"'); at != std::string::npos && at < csv.size();) {
      std::size_t end = csv.find("\r\n", at);
      rows.push_back(csv.substr(at, end - at));
      at = end + 2;
    }
    return rows;
  };
  for (const char* options : {"--csv-format utf8", "--csv-format utf8 --charts-only --jobs 2", ""}) {
    SCOPED_TRACE(options);
    CliRun plain = Cli(std::string(options) + " song.lzh");
    ASSERT_EQ(plain.status, 0) << Err();
    const std::vector<std::string> expected = rowsOf(plain.out);
    ASSERT_EQ(expected.size(), 2u);
    CliRun r = Cli(std::string(options) + " Café_song.lzh 노래.lzh \xF0\x9F\x98\x80.lzh Música/in.lzh");
    ASSERT_EQ(r.status, 0) << Err();
    EXPECT_EQ(Err(), "");
    const std::vector<std::string> rows = rowsOf(r.out);
    ASSERT_EQ(rows.size(), 8u) << r.out;
    const std::string folder = std::string(options).empty() ? platform::Utf8ToCp932(tmp_.Path()) : tmp_.Path();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::string& n = names[i / 2];
      const bool sub = n.find('/') != std::string::npos;
      const std::string name = sub ? "in.lzh" : n;
      const std::string dir = sub ? tmp_.Path() + "Música/" : folder;
      std::string want = expected[i % 2];
      want.replace(want.find("\"song.lzh\""), std::string::npos, "\"" + name + "\",\"" + dir + "\"");
      EXPECT_EQ(rows[i], want);
    }
  }
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
}

TEST_F(CliTest, ChartsOnlyWritesTheSameBytes) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "modern.zip", ModernSong()));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.lzh", test_support::TypicalSong()));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.tgz", test_support::TypicalSong()));
  for (const char* options : {"", "--ext bms,bme,bml,pms --hash", "--csv-format utf8 --ext pms,bms"}) {
    const std::string args = std::string(options) + " modern.zip song.lzh song.tgz";
    CliRun full = Cli(args);
    ASSERT_EQ(full.status, 0) << Err();
    CliRun only = Cli("--charts-only " + args);
    EXPECT_EQ(only.status, 0) << Err();
    EXPECT_EQ(only.out, full.out) << options;
    EXPECT_NE(full.out, "");
    EXPECT_TRUE(fs::is_empty(app_ + "work"));
  }
}

// One archive at a time or the next unpacked meanwhile: the same bytes out
// and the same problem lines, in the same order.
TEST_F(CliTest, OneJobOrTwoGiveTheSameOutput) {
  std::string args;
  for (const char* a : {"one.zip", "two.lzh", "three.tgz", "empty.zip", "four.cab"}) {
    if (std::string(a) == "empty.zip")
      ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), a, {{"song/readme.txt", "x"}}));
    else
      ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), a, test_support::TypicalSong()));
    args += std::string(" ") + a + (args.empty() ? " notes.txt" : "");
  }
  test_support::WriteBytes(tmp_.Path() + "notes.txt", "no archive");
  CliRun one = Cli("--jobs 1 --hash" + args);
  ASSERT_EQ(one.status, 0) << Err();
  const std::string oneErr = Err();
  CliRun two = Cli("--jobs=2 --hash" + args);
  ASSERT_EQ(two.status, 0) << Err();
  EXPECT_EQ(two.out, one.out);
  EXPECT_EQ(Err(), oneErr);
  EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 8);
  EXPECT_NE(oneErr.find("empty.zip: 書庫の一番上に譜面 (*.bms) がありません"), std::string::npos) << oneErr;
  EXPECT_EQ(Cli("--hash" + args).out, one.out);
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
  EXPECT_EQ(std::distance(fs::directory_iterator(app_), fs::directory_iterator()), 12);  // no second folder left
}

TEST_F(CliTest, NamesCodePage932CannotHoldAreNeverRenamed) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.zip", test_support::TypicalSong()));
  // The list goes to exactly the file named, not to "?.csv".
  CliRun csv = Cli("--csv '\xF0\x9F\x98\x80.csv' song.zip");
  EXPECT_EQ(csv.status, 0) << Err();
  EXPECT_FALSE(fs::exists(tmp_.Path() + "?.csv"));
  EXPECT_EQ(std::count_if(fs::directory_iterator(tmp_.Path()), fs::directory_iterator(),
                          [](const auto& e) { return e.path().extension() == ".csv"; }),
            1);
  EXPECT_TRUE(fs::exists(tmp_.Path() + "\xF0\x9F\x98\x80.csv"));
  // A relative name inside a current folder that CP932 cannot name is
  // listed under that folder, as the file system names it.
  fs::create_directories(tmp_.Path() + "\xF0\x9F\x98\x80");
  fs::copy_file(tmp_.Path() + "song.zip", tmp_.Path() + "\xF0\x9F\x98\x80/song.zip");
  CliRun here = Cli("song.zip");
  CliRun cwd = Cli("song.zip", "\xF0\x9F\x98\x80");
  EXPECT_EQ(cwd.status, 0) << Err();
  std::string expected = here.out;
  const std::string from = "\"" + tmp_.Path() + "\"", to = "\"" + tmp_.Path() + "\xF0\x9F\x98\x80/\"";
  for (std::size_t at = expected.find(from); at != std::string::npos; at = expected.find(from, at + to.size()))
    expected.replace(at, from.size(), to);
  EXPECT_EQ(cwd.out, expected);
}

// The row of one chart named `name` (CP932) with the title `title`.
std::string Row(const std::string& name, const std::string& title, const std::string& archive,
                const std::string& dir) {
  return "\"" + name + "\",\"\",\"\",\"" + title + "\",\"\",\"\",\"\",\"\",\"\",\"\",\"2024/05/03\",\"" + archive +
         "\",\"" + dir + "\"\r\n";
}

TEST_F(CliTest, ChartsOfEveryPlatformAreListedUnderTheirNames) {
  // ソ and 表 end in the byte of "\"; ガ is stored decomposed by macOS.
  const std::string title = platform::Utf8ToCp932("曲");
  const std::vector<test_support::SongFile> song = {{"曲ソ表/譜面ガ.bms", "#TITLE " + title + "\r\n"},
                                                 {"曲ソ表/音.wav", test_support::NoiseBytes(2000, 1)}};
  const std::vector<test_support::SongFile> mac = {{"曲ソ表/譜面カ\u3099.bms", "#TITLE " + title + "\r\n"},
                                                {"曲ソ表/音.wav", test_support::NoiseBytes(2000, 1)}};
  struct Case {
    std::string archive;
    const std::vector<test_support::SongFile>& files;
  } cases[] = {{"linux.zip", song}, {"mac.zip", mac}, {"song.lzh", song}, {"song.tar", song},
               {"mac.tgz", mac},    {"song.bz2", song}};
  std::string args, expected;
  const std::string dir = platform::Utf8ToCp932(tmp_.Path());
  for (const auto& c : cases) {
    if (!test_support::MakeArchive(tmp_.Path(), c.archive, c.files)) continue;
    args += " '" + c.archive + "'";
    expected += Row(platform::Utf8ToCp932("譜面ガ.bms"), title, c.archive, dir);
  }
  CliRun r = Cli(args);
  ASSERT_EQ(r.status, 0) << Err();
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(Err(), "");
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
}

TEST_F(CliTest, TwinCharactersReachTheirOwnFiles) {
  // 〜 (U+301C) and ～ (U+FF5E) share one CP932 form; so do − and －.
  const std::vector<test_support::SongFile> song = {{"曲〜remix〜.bms", "#TITLE wave\r\n"},
                                                 {"曲～remix～.bms", "#TITLE tilde\r\n"},
                                                 {"曲−.bms", "#TITLE minus\r\n"}};
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "曲〜リミックス.tar", song));
  CliRun r = Cli("--csv 'list〜.csv' '曲〜リミックス.tar'");
  ASSERT_EQ(r.status, 0) << Err();
  const std::string dir = platform::Utf8ToCp932(tmp_.Path());
  const std::string arc = "\x8B\xC8\x81\x60" + platform::Utf8ToCp932("リミックス") + ".tar";
  const std::string tilde = "\x8B\xC8\x81\x60remix\x81\x60.bms";
  // Twins sort by their names on disk: U+301C before U+FF5E.
  EXPECT_EQ(test_support::ReadBytes(tmp_.Path() + "list〜.csv"),
            Row("\x8B\xC8\x81\x7C.bms", "minus", arc, dir) + Row(tilde, "wave", arc, dir) + Row(tilde, "tilde", arc, dir));
  EXPECT_FALSE(fs::exists(tmp_.Path() + "list～.csv"));
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
}

TEST_F(CliTest, OverlongNamesAreListedShortenedAndDotFilesCleanedUp) {
  std::string kanji84;
  for (int i = 0; i < 84; ++i) kanji84 += "譜";
  // No file system holds that name, so Python's tarfile writes it as given.
  test_support::WriteBytes(tmp_.Path() + "make.py",
                           "import io, tarfile\n"
                           "with tarfile.open('long.tar', 'w') as t:\n"
                           "    for name, data in [('" + kanji84 + ".bms', b'#TITLE long\\r\\n'),\n"
                           "                       ('._" + kanji84.substr(0, 30) + ".bms', b'macOS metadata'),\n"
                           "                       ('.DS_Store', b'x')]:\n"
                           "        i = tarfile.TarInfo(name)\n"
                           "        i.size = len(data)\n"
                           "        i.mtime = 1714737600\n"
                           "        t.addfile(i, io.BytesIO(data))\n");
  ASSERT_EQ(test_support::Shell(tmp_.Path(), "python3 make.py"), 0);
  CliRun r = Cli("long.tar");
  ASSERT_EQ(r.status, 0) << Err();
  ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  const std::string name = r.out.substr(1, r.out.find('"', 1) - 1);
  EXPECT_EQ(name.substr(name.size() - 4), ".bms");
  EXPECT_LE(platform::Cp932ToUtf8(name).size(), 255u);
  EXPECT_EQ(name.compare(0, 40, platform::Utf8ToCp932(kanji84), 0, 40), 0);
  EXPECT_NE(r.out.find("\"long\""), std::string::npos);
  EXPECT_TRUE(fs::is_empty(app_ + "work"));
}

TEST_F(CliTest, AMissingLibraryListsNothingAndStillSucceeds) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "song.arj", test_support::TypicalSong()));
  fs::remove(app_ + "UNARJ32J.DLL");
  CliRun r = Cli("song.arj");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(Err().find("song.arj: 書庫ライブラリがないか使えません"), std::string::npos) << Err();
}

// The collection's columns: a song folder indexed beside the program, a
// table imported and kept, the same chart twice in a pack.
TEST_F(CliTest, LibraryTableAndDuplicateColumnsEndTheUtf8Csv) {
  const std::string x = "#TITLE owned\r\n", y = "#TITLE listed\r\n";
  tmp_.Write("songs/old/a.bms", x);
  tmp_.Write("songs/old/a.wav", "RIFF");
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "p1.zip", {{"a.bms", x}, {"b.bms", y}}));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "p2.zip", {{"c.bms", x}}));
  tmp_.Write("t/page.html", R"(<meta name="bmstable" content="header.json">)");
  tmp_.Write("t/header.json", R"({"name": "Table", "symbol": "▽", "data_url": "score.json"})");
  tmp_.Write("t/score.json", "[{\"md5\": \"" + ToolHash("md5sum", y) + "\", \"level\": \"5\"}, {\"sha256\": \"" +
                                 ToolHash("sha256sum", x) + "\", \"level\": 2}]");

  CliRun r = Cli("--csv-format utf8 --library songs --table t/page.html p1.zip p2.zip");
  ASSERT_EQ(r.status, 0) << Err();
  std::vector<std::string> ends;
  for (std::size_t at = 0, next; (next = r.out.find("\r\n", at)) != std::string::npos; at = next + 2) {
    const std::string line = r.out.substr(at, next - at);
    std::size_t cut = line.size();
    for (int fields = 0; fields < 3; ++fields) cut = line.rfind(",\"", cut - 1);
    ends.push_back(line.substr(cut));
  }
  EXPECT_EQ(ends, (std::vector<std::string>{",\"old/a.bms\",\"▽2\",\"\"", ",\"\",\"▽5\",\"\"",
                                            ",\"old/a.bms\",\"▽2\",\"p1.zip\""}))
      << r.out;
  EXPECT_TRUE(fs::exists(app_ + "library.sqlite"));  // a portable copy keeps its index beside it

  // The hashes stay where they were; the classic form never has the columns.
  CliRun hashed = Cli("--csv-format utf8 --hash --library songs p2.zip");
  EXPECT_NE(hashed.out.find(ToolHash("sha256sum", x) + "\",\"old/a.bms\",\"▽2\",\"\"\r\n"), std::string::npos)
      << hashed.out;
  EXPECT_EQ(Cli("--library songs --table t/header.json p1.zip").out, Cli("p1.zip").out);

  // A bad table imports nothing and says so; the table kept from before
  // still answers, and the list is written.
  tmp_.Write("t/bad.json", R"({"name": "Table", "data_url": )");
  CliRun bad = Cli("--csv-format utf8 --table t/bad.json p2.zip");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(Err().find("t/bad.json: not valid JSON"), std::string::npos) << Err();
  EXPECT_NE(bad.out.find(",\"\",\"▽2\",\"\"\r\n"), std::string::npos) << bad.out;
  EXPECT_EQ(Cli("--library no-such-folder p2.zip").status, 1);

  // An index that cannot be opened is said; the list still comes, with
  // what it tells by itself.
  fs::remove(app_ + "library.sqlite");
  fs::create_directory(app_ + "library.sqlite");
  CliRun noIndex = Cli("--csv-format utf8 --library songs p1.zip p2.zip");
  EXPECT_EQ(noIndex.status, 1);
  EXPECT_NE(Err().find("the library index cannot be used"), std::string::npos) << Err();
  EXPECT_NE(noIndex.out.find(",\"\",\"\",\"p1.zip\"\r\n"), std::string::npos) << noIndex.out;
}

}  // namespace

namespace {

// The CSV's lines, each cut into its quoted fields (classic: no quotes inside).
std::vector<std::vector<std::string>> Fields(const std::string& csv) {
  std::vector<std::vector<std::string>> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2) {
    std::vector<std::string> fields;
    const std::string line = csv.substr(start, end - start);
    for (std::size_t q = 0; q < line.size();) {
      const std::size_t close = line.find("\",", q + 1);
      const std::size_t stop = close == std::string::npos ? line.size() - 1 : close;
      fields.push_back(line.substr(q + 1, stop - q - 1));
      q = stop + 2;
    }
    lines.push_back(fields);
  }
  return lines;
}

}  // namespace

TEST_F(CliTest, FactsFollowTheColumnsAndNeverChangeThem) {
  const std::vector<test_support::SongFile> song = {
      {"song/a.bms", "#TITLE a\r\n#BPM 120\r\n#WAV01 snd\\kick.wav\r\n#WAV02 miss.wav\r\n#BMP01 bg.bmp\r\n"
                     "#00111:01010101\r\n#00218:01\r\n#RANDOM 2\r\n#IF 1\r\n#00308:01\r\n#ENDIF\r\n#BPM01 240\r\n"},
      {"song/b.bmson", R"({"info": {"title": "b", "init_bpm": 150, "mode_hint": "beat-5k"},
                          "sound_channels": [{"name": "snd/kick.wav", "notes": [{"x": 1, "y": 960}]}]})"},
      {"song/snd/kick.ogg", "sound"},
      {"song/BG.PNG", "image"},
  };
  for (const char* archive : {"facts.zip", "facts.lzh", "facts.tgz", "facts.rar"}) {
    SCOPED_TRACE(archive);
    ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), archive, song));
    const std::string base = std::string("--ext bms,bmson ") + archive;
    CliRun plain = Cli(base), hashed = Cli("--hash " + base);
    ASSERT_EQ(plain.status, 0) << Err();
    const auto plainLines = Fields(plain.out), hashedLines = Fields(hashed.out);
    ASSERT_EQ(plainLines.size(), 2u);
    for (const char* mode : {"", "--charts-only "}) {
      CliRun facts = Cli(std::string(mode) + "--facts " + base), both = Cli(std::string(mode) + "--hash --facts " + base);
      ASSERT_EQ(facts.status, 0) << Err();
      const auto factLines = Fields(facts.out), bothLines = Fields(both.out);
      ASSERT_EQ(factLines.size(), 2u);
      for (std::size_t i = 0; i < 2; ++i) {
        ASSERT_EQ(factLines[i].size(), 21u);
        ASSERT_EQ(bothLines[i].size(), 23u);
        // The thirteen (and the hashes) are byte for byte those without facts.
        EXPECT_EQ(std::vector<std::string>(factLines[i].begin(), factLines[i].begin() + 13), plainLines[i]);
        EXPECT_EQ(std::vector<std::string>(bothLines[i].begin(), bothLines[i].begin() + 15), hashedLines[i]);
        EXPECT_EQ(std::vector<std::string>(bothLines[i].begin() + 15, bothLines[i].end()),
                  std::vector<std::string>(factLines[i].begin() + 13, factLines[i].end()));
      }
      // Keys, Notes, Total, BpmMin, BpmMax, Length, Missing, Random
      EXPECT_EQ(std::vector<std::string>(factLines[0].begin() + 13, factLines[0].end()),
                (std::vector<std::string>{"7K", "5", "", "120", "240", "0:04", "1", "\x81\x9B"}));
      EXPECT_EQ(std::vector<std::string>(factLines[1].begin() + 13, factLines[1].end()),
                (std::vector<std::string>{"5K", "1", "", "150", "150", "0:02", "0", ""}));
    }
  }
}
