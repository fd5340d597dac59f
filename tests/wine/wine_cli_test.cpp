// SPDX-License-Identifier: MIT
// bmslist-cli.exe under Wine against bmslist-cli on Linux: the same song
// archives of every format give the same CSV bytes. The one column that
// must differ is the archive's folder, which each system writes in its
// own path form (Z:\...\ under Wine for /...); it is mapped before the
// comparison, every other byte is compared as written.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/paths.h"
#include "tests/support/cab_set_writer.h"
#include "tests/support/files.h"
#include "tests/support/rar_writer.h"
#include "tests/support/song_archives.h"

namespace fs = std::filesystem;

namespace {

int Shell(const std::string& cmd) {
  int st = std::system(cmd.c_str());
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::string WinePath(const std::string& unixPath) {
  std::string w = "Z:" + unixPath;
  for (auto& c : w)
    if (c == '/') c = '\\';
  return w;
}

class WineCli : public ::testing::Test {
 public:
  void SetUp() override {
    if (!fs::exists(std::string(WINDOWS_BIN) + "/bmslist-cli.exe"))
      GTEST_SKIP() << "no Windows build: run scripts/build-windows.sh";
    if (Shell("command -v wine >/dev/null") != 0) GTEST_SKIP() << "Wine is not installed";
    // Private copies, so that each build uses a working folder of its own.
    linuxApp_ = tmp_.Path() + "linux/";
    windowsApp_ = tmp_.Path() + "windows/";
    fs::create_directories(linuxApp_);
    fs::create_directories(windowsApp_);
    const std::string bin = platform::Cp932ToUtf8(platform::ExecutableDir());
    for (const char* f : {"bmslist-cli", "libbmsplatform.so", "UNLHA32.DLL", "UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL",
                          "CAB32.DLL", "UNARJ32J.DLL", "tar32.dll", "UNRAR32.DLL", "7-ZIP32.DLL"})
      fs::copy_file(bin + f, linuxApp_ + f);
    for (const char* f : {"bmslist-cli.exe", "UNLHA32.DLL", "UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL", "CAB32.DLL",
                          "UNARJ32J.DLL", "tar32.dll", "UNRAR32.DLL", "7-ZIP32.DLL"})
      fs::copy_file(std::string(WINDOWS_BIN) + "/" + f, windowsApp_ + f);
  }

  // Lists `archives` (names in `songs`) with both programs; every archive
  // (or each of `listed`) gives rows, and the CSVs agree byte for byte but
  // for the folder form.
  void ExpectTheSameCsv(const std::string& songs, const std::vector<std::string>& archives,
                        const std::vector<std::string>* listed = nullptr) {
    std::string linuxArgs, windowsArgs;
    for (const auto& a : archives) {
      linuxArgs += " '" + songs + a + "'";
      windowsArgs += " '" + WinePath(songs + a) + "'";
    }
    ASSERT_EQ(Shell("cd '" + tmp_.Path() + "' && '" + linuxApp_ + "bmslist-cli' --csv linux.csv" + linuxArgs), 0);
    ASSERT_EQ(Shell("cd '" + tmp_.Path() + "' && wine '" + windowsApp_ + "bmslist-cli.exe' --csv windows.csv" +
                  windowsArgs + " 2>wine-err.txt"),
              0)
        << test_support::ReadBytes(tmp_.Path() + "wine-err.txt");

    std::string linuxCsv = test_support::ReadBytes(tmp_.Path() + "linux.csv");
    std::string windowsCsv = test_support::ReadBytes(tmp_.Path() + "windows.csv");
    ASSERT_FALSE(linuxCsv.empty());
    for (const auto& a : listed ? *listed : archives) EXPECT_NE(linuxCsv.find("\"" + a + "\""), std::string::npos) << a;
    std::string mapped = linuxCsv;
    const std::string from = "\"" + platform::Utf8ToCp932(songs) + "\"", to = "\"" + WinePath(songs) + "\"";
    for (std::size_t at = mapped.find(from); at != std::string::npos; at = mapped.find(from, at + to.size()))
      mapped.replace(at, from.size(), to);
    EXPECT_EQ(windowsCsv, mapped);
  }

  test_support::TempDir tmp_;
  std::string linuxApp_, windowsApp_;
};

// The same CSV from bmslist-cli.exe under Wine as from bmslist-cli, for an
// archive of every format made from `song` (one .gz of a single chart
// besides).
void ExpectSameCsvForEveryFormat(WineCli& t, const std::vector<test_support::SongFile>& song);

TEST_F(WineCli, WritesTheSameCsvAsLinuxForEveryFormat) { ExpectSameCsvForEveryFormat(*this, test_support::TypicalSong()); }

// Wine's ANSI code page in the C locale is 1252, as on a Western Windows:
// charts and folders with Japanese names must still be listed, every one.
TEST_F(WineCli, ListsJapaneseNamesWhateverTheAnsiCodePage) {
  std::vector<test_support::SongFile> song = test_support::TypicalSong();
  song.push_back({"song/\xe8\xad\x9c\xe9\x9d\xa2_\xe3\x82\xbd.bms", "#TITLE jp\r\n#BPM 140\r\n"});  // 譜面_ソ.bms
  song.push_back({"\xe6\x9b\xb2/\xe8\xa1\xa8.bms", "#TITLE folder\r\n"});                            // 曲/表.bms
  ExpectSameCsvForEveryFormat(*this, song);
}

// Archive names code page 932 cannot hold reach both programs' libraries in
// their Unicode mode, and the rows name them as they are.
TEST_F(WineCli, ListsArchivesWhoseNamesCp932CannotHold) {
  const std::string songs = tmp_.Path() + "songs/";
  fs::create_directories(songs);
  std::vector<std::string> archives;
  for (const char* name : {"\xEB\x85\xB8\xEB\x9E\x98.lzh", "Caf\xC3\xA9_song.zip", "\xF0\x9F\x98\x80.7z"}) {
    const std::string ext = fs::path(name).extension().string();
    ASSERT_TRUE(test_support::MakeArchive(songs, "plain" + ext, test_support::TypicalSong())) << name;
    fs::rename(songs + "plain" + ext, songs + name);
    archives.push_back(name);
  }
  ExpectTheSameCsv(songs, archives);  // 노래.lzh, Café_song.zip, an emoji
}

void ExpectSameCsvForEveryFormat(WineCli& t, const std::vector<test_support::SongFile>& song) {
  auto& tmp_ = t.tmp_;
  const std::string songs = tmp_.Path() + "songs/";
  fs::create_directories(songs);
  std::vector<std::string> archives;
  for (const char* name : {"song.lzh", "song.zip", "song.cab", "song.arj", "song.tar", "song.tgz", "song.taz",
                           "song.bz2", "song.rar", "song.7z", "song.tar.xz", "song.tar.zst", "song.tlz", "one.bms.gz"}) {
    std::vector<test_support::SongFile> files = song;
    if (std::string(name) == "one.bms.gz") files = {{"one.bms", "#TITLE gz\r\n#BPM 120\r\n"}};
    ASSERT_TRUE(test_support::MakeArchive(songs, name, files)) << name;
    archives.push_back(name);
  }
  t.ExpectTheSameCsv(songs, archives);
  // Every chart of every archive is a row: thirteen archives of the song, one .gz.
  std::size_t charts = 0;
  for (const auto& f : song) {
    const std::string ext = f.name.size() > 4 ? f.name.substr(f.name.size() - 4) : "";
    charts += ext == ".bms" || ext == ".BMS";
  }
  const std::string windowsCsv = test_support::ReadBytes(tmp_.Path() + "windows.csv");
  EXPECT_EQ(static_cast<std::size_t>(std::count(windowsCsv.begin(), windowsCsv.end(), '\n')), 13 * charts + 1);
}

// RAR 1.5-4 names follow one rule on both systems: CP932 bytes from a
// Windows packer, UTF-8 from a Unix one, the packed Unicode form where the
// header has one.
TEST_F(WineCli, Rar4NamesAreTheSameAsOnLinux) {
  const std::string songs = tmp_.Path() + "songs/";
  fs::create_directories(songs);
  const std::string chart = "#TITLE rar\r\n#BPM 140\r\n";
  test_support::RarEntry windows{platform::Utf8ToCp932("曲\\譜面.bms"), {}, chart};
  test_support::RarEntry unix{"ユニックス.bms", {}, chart};
  unix.host = 3;
  unix.attributes = 0100644;
  test_support::RarEntry packed{platform::Utf8ToCp932("曲\\ユニコード.bms"), u"曲\\ユニコード.bms", chart};
  test_support::WriteBytes(songs + "names.rar", test_support::WriteRar4({windows, unix, packed}));
  ExpectTheSameCsv(songs, {"names.rar"});
}

// The library index and a difficulty table give the same three columns on
// both systems: each copy keeps its own index beside it.
TEST_F(WineCli, LibraryAndTableColumnsAreTheSameAsOnLinux) {
  const std::string x = "#TITLE owned\r\n", y = "#TITLE listed\r\n";
  tmp_.Write("library/old/a.bms", x);
  tmp_.Write("library/old/b.bme", y);
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "p1.zip", {{"a.bms", x}, {"b.bme", y}}));
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "p2.zip", {{"c.bms", x}}));
  tmp_.Write("t/page.html", R"(<meta name="bmstable" content="header.json">)");
  tmp_.Write("t/header.json", R"({"name": "T", "symbol": "▽", "data_url": "score.json"})");
  FILE* md5sum = popen(("md5sum '" + tmp_.Path() + "library/old/b.bme'").c_str(), "r");
  char md5[33] = {};
  ASSERT_EQ(fread(md5, 1, 32, md5sum), 32u);
  pclose(md5sum);
  tmp_.Write("t/score.json", "[{\"md5\": \"" + std::string(md5) + "\", \"level\": 1}]");
  const std::string args = " --csv-format utf8 --ext bms,bme --library library --table t/page.html p1.zip p2.zip";
  ASSERT_EQ(Shell("cd '" + tmp_.Path() + "' && '" + linuxApp_ + "bmslist-cli' --csv linux.csv" + args), 0);
  ASSERT_EQ(Shell("cd '" + tmp_.Path() + "' && wine '" + windowsApp_ + "bmslist-cli.exe' --csv windows.csv" + args +
                  " 2>wine-err.txt"),
            0)
      << test_support::ReadBytes(tmp_.Path() + "wine-err.txt");
  EXPECT_TRUE(fs::exists(windowsApp_ + "library.sqlite"));
  std::string linuxCsv = test_support::ReadBytes(tmp_.Path() + "linux.csv");
  const std::string from = "\"" + tmp_.Path() + "\"", to = "\"" + WinePath(tmp_.Path()) + "\"";
  for (std::size_t at = linuxCsv.find(from); at != std::string::npos; at = linuxCsv.find(from, at + to.size()))
    linuxCsv.replace(at, from.size(), to);
  EXPECT_NE(linuxCsv.find(",\"old/b.bme\",\"▽1\",\"\"\r\n"), std::string::npos) << linuxCsv;
  EXPECT_NE(linuxCsv.find(",\"old/a.bms\",\"\",\"p1.zip\"\r\n"), std::string::npos) << linuxCsv;
  EXPECT_EQ(test_support::ReadBytes(tmp_.Path() + "windows.csv"), linuxCsv);
}

// Split archives of every kind, every volume dropped: each set is listed
// once from the volume that opens it, the same on both systems.
TEST_F(WineCli, VolumeSetsAreTheSameAsOnLinux) {
  const std::string songs = tmp_.Path() + "songs/";
  fs::create_directories(songs + "src");
  const std::string one = "#TITLE one\r\n", two = "#TITLE two\r\n";
  const std::string big = test_support::NoiseBytes(150000, 81);
  test_support::WriteBytes(songs + "src/a.bms", one);
  test_support::WriteBytes(songs + "src/big.wav", big);
  test_support::WriteBytes(songs + "src/b.bms", two);
  std::vector<std::string> archives;
  auto write = [&](const std::vector<std::string>& names, const std::vector<std::string>& bytes) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      test_support::WriteBytes(songs + names[i], bytes[i]);
      archives.push_back(names[i]);
    }
  };
  std::vector<test_support::RarEntry> rar = {{"a.bms", {}, one}, {"big.wav", {}, big}, {"b.bms", {}, two}};
  write({"r5.part1.rar", "r5.part2.rar", "r5.part3.rar"}, test_support::WriteRar5Volumes(rar, 60000));
  write({"r4.rar", "r4.r00", "r4.r01"}, test_support::WriteRar4Volumes(rar, 60000, false));
  auto [c1, c2] = test_support::WriteCabSet({{"a.bms", one}, {"big.wav", big}, {"b.bms", two}}, 60000, "c1.cab", "c2.cab");
  write({"c1.cab", "c2.cab"}, {c1, c2});
  ASSERT_EQ(Shell("cd '" + songs + "src' && zip -q -0 -s 64k ../z.zip a.bms big.wav b.bms && "
                  "7zz a -bso0 -tzip -mx=0 -v64k ../p.zip a.bms big.wav b.bms && "
                  "7zz a -bso0 -mx=0 -v64k ../s.7z a.bms big.wav b.bms && "
                  "arj a -v64K -y ../j.arj a.bms big.wav b.bms >/dev/null"),
            0);
  for (const char* name : {"z.z01", "z.z02", "z.zip", "p.zip.001", "p.zip.002", "p.zip.003", "s.7z.001", "s.7z.002",
                           "s.7z.003", "j.arj", "j.a01", "j.a02"})
    archives.push_back(name);
  const std::vector<std::string> listed = {"r5.part1.rar", "r4.rar", "c1.cab", "z.zip", "p.zip.001", "s.7z.001", "j.arj"};
  ExpectTheSameCsv(songs, archives, &listed);
  const std::string windowsCsv = test_support::ReadBytes(tmp_.Path() + "windows.csv");
  EXPECT_EQ(std::count(windowsCsv.begin(), windowsCsv.end(), '\n'), 2 * 7);  // a.bms and b.bms of each set
}

}  // namespace
