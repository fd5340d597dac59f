// SPDX-License-Identifier: MIT
// A charts-only drop read straight from the archive into memory gives the
// rows of a full unpacking, dates, hashes and facts included, on every
// format; whatever the unpacking could list otherwise still goes through it.
#include <optional>

#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/csv_export.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "tests/support/files.h"
#include "tests/support/program_folder.h"
#include "tests/support/song_archives.h"

using test_support::SongFile;

namespace {

std::string Chart(const std::string& title) {
  return "#TITLE " + title + "\r\n#BPM 150\r\n#WAV01 kick.wav\r\n#WAV02 gone.wav\r\n#BMP01 back.bmp\r\n"
         "#00111:01010101\r\n#00112:0002\r\n#00203:96\r\n#00301:01\r\n";
}

// Charts in two folders and three kinds, Japanese names, a file a chart
// names and one it names but the archive lacks.
std::vector<SongFile> Song() {
  return {{"song/kick.wav", test_support::NoiseBytes(30000, 1)},
          {"song/a.bms", Chart("a")},
          {"song/sub/B.BMS", Chart("upper")},
          {"song/c.bme", Chart("seven")},
          {"song/back.bmp", test_support::NoiseBytes(20000, 2)},
          {"曲/譜面.bms", Chart(platform::Utf8ToCp932("曲"))},
          {"曲/kick.wav", test_support::NoiseBytes(1000, 3)},
          {"readme.txt", "read me\r\n"}};
}

class MemoryChartsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.emplace(tmp_.Path() + "app", true);
    CreateWorkingFolder();
    window_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
  }
  void TearDown() override {
    platform::DestroyMessageWindow(window_);
    program_.reset();
  }

  struct Drop {
    std::string csv;
    bool unpacked = false;  // some command line went to the library
  };

  Drop DropOnce(const std::string& archive, bool chartsOnly, const std::vector<std::string>& extensions) {
    ChartList list;
    TArchiveFile af;
    ApplyMainWindowSettings(af);
    DropPipeline pipeline(list, af, window_);
    pipeline.options.extensions = extensions;
    pipeline.options.hashes = true;
    pipeline.options.facts = true;
    pipeline.options.chartsOnly = chartsOnly;
    pipeline.WMDropFiles({platform::Utf8ToCp932(tmp_.Path() + archive)});
    EXPECT_TRUE(test_support::FileNamesAt(tmp_.Path() + "app/work/").empty());
    return {ChartCsvText(list, CsvOptions{CsvFormat::kClassic, true, true}), !af.CmdLine().empty()};
  }

  test_support::TempDir tmp_;
  std::optional<test_support::ProgramFolder> program_;
  platform::WindowHandle window_ = 0;
};

class EveryFormatInMemory : public MemoryChartsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EveryFormatInMemory, GivesTheRowsOfAFullUnpackingWithoutUnpacking) {
  const std::string name = GetParam();
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), name, Song())) << "cannot make " << name;
  const std::vector<std::string> kinds = {"bms", "bme"};
  Drop full = DropOnce(name, false, kinds);
  Drop memory = DropOnce(name, true, kinds);
  EXPECT_EQ(memory.csv, full.csv);
  EXPECT_FALSE(memory.unpacked);
  // Four charts, each missing one file: the listing reached the facts.
  EXPECT_EQ(std::count(full.csv.begin(), full.csv.end(), '\n'), 4);
  EXPECT_NE(full.csv.find("\"1\",\"\"\r\n"), std::string::npos) << full.csv;
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormatInMemory,
                         ::testing::Values("song.zip", "song.lzh", "song.tgz", "song.rar", "song.7z", "song.cab",
                                           "song.arj", "song.tar.xz"),
                         [](const auto& info) { return test_support::TestNameOf(info.param); });

// What an unpacking would leave otherwise than the entries say goes
// through the unpacking: the rows stay the same.
struct OddCase {
  const char* label;
  std::vector<SongFile> files;
};

class OddSongs : public MemoryChartsTest, public ::testing::WithParamInterface<OddCase> {};

TEST_P(OddSongs, AreUnpackedAsBefore) {
  ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), "odd.zip", GetParam().files));
  Drop full = DropOnce("odd.zip", false, {"bms"});
  Drop only = DropOnce("odd.zip", true, {"bms"});
  EXPECT_EQ(only.csv, full.csv);
  EXPECT_TRUE(only.unpacked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OddSongs,
    ::testing::Values(OddCase{"SameNameInTwoFolders", {{"a/x.bms", Chart("first")}, {"b/x.bms", Chart("second")}}},
                      OddCase{"NamesDifferingInCase", {{"a/x.bms", Chart("lower")}, {"b/X.BMS", Chart("upper")}}},
                      OddCase{"HiddenChart", {{".hidden.bms", Chart("hidden")}, {"a.bms", Chart("shown")}}},
                      OddCase{"NoChart", {{"a.txt", "text"}}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
