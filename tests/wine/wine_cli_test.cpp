// bmslist-cli.exe under Wine against bmslist-cli on Linux: the same song
// archives of every format give the same CSV bytes. The one column that
// must differ is the archive's folder, which each system writes in its
// own path form (Z:\...\ under Wine for /...); it is mapped before the
// comparison, every other byte is compared as written.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/paths.h"
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
 protected:
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
                          "CAB32.DLL", "UNARJ32J.DLL", "tar32.dll", "UNRAR32.DLL"})
      fs::copy_file(bin + f, linuxApp_ + f);
    for (const char* f : {"bmslist-cli.exe", "UNLHA32.DLL", "UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL", "CAB32.DLL",
                          "UNARJ32J.DLL", "tar32.dll", "UNRAR32.DLL"})
      fs::copy_file(std::string(WINDOWS_BIN) + "/" + f, windowsApp_ + f);
  }

  // Lists `archives` (names in `songs`) with both programs; every archive
  // gives rows, and the CSVs agree byte for byte but for the folder form.
  void ExpectTheSameCsv(const std::string& songs, const std::vector<std::string>& archives) {
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
    for (const auto& a : archives) EXPECT_NE(linuxCsv.find("\"" + a + "\""), std::string::npos) << a;
    std::string mapped = linuxCsv;
    const std::string from = "\"" + platform::Utf8ToCp932(songs) + "\"", to = "\"" + WinePath(songs) + "\"";
    for (std::size_t at = mapped.find(from); at != std::string::npos; at = mapped.find(from, at + to.size()))
      mapped.replace(at, from.size(), to);
    EXPECT_EQ(windowsCsv, mapped);
  }

  test_support::TempDir tmp_;
  std::string linuxApp_, windowsApp_;
};

TEST_F(WineCli, WritesTheSameCsvAsLinuxForEveryFormat) {
  const std::string songs = tmp_.Path() + "songs/";
  fs::create_directories(songs);
  std::vector<std::string> archives;
  for (const char* name : {"song.lzh", "song.zip", "song.cab", "song.arj", "song.tar", "song.tgz", "song.taz",
                           "song.bz2", "song.rar", "one.bms.gz"}) {
    std::vector<test_support::SongFile> files = test_support::TypicalSong();
    if (std::string(name) == "one.bms.gz") files = {{"one.bms", "#TITLE gz\r\n#BPM 120\r\n"}};
    ASSERT_TRUE(test_support::MakeArchive(songs, name, files)) << name;
    archives.push_back(name);
  }
  ExpectTheSameCsv(songs, archives);
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

}  // namespace
