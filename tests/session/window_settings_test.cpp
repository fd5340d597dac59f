// SPDX-License-Identifier: MIT
// The stored layout both windows share, and where an export may go.
#include "session/window_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "charts/chart_list.h"
#include "charts/working_folder.h"
#include "platform/io_error.h"
#include "platform/paths.h"
#include "session/column_table.h"
#include "session/export_target.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

class FixedPlacement : public platform::PlacementWindow {
 public:
  bool GetWindowPlacement(platform::WindowPlacement& p) const override {
    p = placement;
    return true;
  }
  bool SetWindowPlacement(const platform::WindowPlacement& p) override {
    placement = p;
    return true;
  }
  platform::WindowPlacement placement{};
};

class WindowSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::OverrideExecutableDirForTesting(app_);
    fs::create_directories(app_);
    CreateWorkingFolder();
  }
  void TearDown() override {
    ReleaseWorkingFolder();
    platform::OverrideExecutableDirForTesting("");
  }
  test_support::TempDir tmp_;
  std::string app_ = tmp_.Path() + "app/";
};

TEST_F(WindowSettingsTest, WidthsComeBackAsStoredAndTheOptionalOnesWithTheOptions) {
  WindowSettings settings;
  for (int c = 0; c < kColumnCountWithHashes; ++c) EXPECT_EQ(settings.ColumnWidth(c), ColumnAt(c).designedWidth);
  FixedPlacement window;
  std::vector<int> widths(kColumnCountWithHashes, 77);
  widths[2] = -5;  // a width no window gives, stored as it came
  SessionOptions options;
  settings.SaveLayout(widths, window, options);
  WindowSettings again;
  EXPECT_EQ(again.ColumnWidth(0), 77);
  EXPECT_EQ(again.ColumnWidth(2), ColumnAt(2).designedWidth);  // never a negative width
  // Without the hash columns their widths are not written at all.
  EXPECT_EQ(again.ColumnWidth(kMd5Column), ColumnAt(kMd5Column).designedWidth);
  options.hashColumns = true;
  again.SaveLayout(widths, window, options);
  EXPECT_EQ(WindowSettings().ColumnWidth(kSha256Column), 77);
  EXPECT_EQ(WindowSettings().ini.ReadInteger("Options", "Width13", 0), 77);
}

TEST_F(WindowSettingsTest, FactColumnsFollowTheThirteenOrTheHashColumns) {
  struct Case {
    bool hashes, facts, library;
    int count;
    std::vector<int> columnsFrom13;
  } cases[] = {
      {false, false, false, 13, {}},
      {true, false, false, 15, {13, 14}},
      {false, true, false, 21, {15, 16, 17, 18, 19, 20, 21, 22}},
      {true, true, false, 23, {13, 14, 15, 16, 17, 18, 19, 20, 21, 22}},
      {false, false, true, 16, {23, 24, 25}},
      {true, false, true, 18, {13, 14, 23, 24, 25}},
      {false, true, true, 24, {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
      {true, true, true, 26, {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
  };
  for (const Case& c : cases) {
    SessionOptions options;
    options.hashColumns = c.hashes;
    options.chartFacts = c.facts;
    options.libraryColumns = c.library;
    ASSERT_EQ(ShownColumnCount(options), c.count);
    std::vector<int> columns;
    for (int place = kChartColumnCount; place < c.count; ++place) columns.push_back(ShownColumn(options, place));
    EXPECT_EQ(columns, c.columnsFrom13) << c.hashes << c.facts << c.library;
  }
  // Widths are stored by column, wherever the column is shown.
  SessionOptions facts;
  facts.chartFacts = true;
  std::vector<int> widths(21, 60);
  widths[13] = 41;  // Keys, right after the thirteen
  FixedPlacement window;
  WindowSettings().SaveLayout(widths, window, facts);
  EXPECT_EQ(WindowSettings().ColumnWidth(kFactsColumn), 41);
  EXPECT_EQ(WindowSettings().ColumnWidth(kMd5Column), ColumnAt(kMd5Column).designedWidth);
  EXPECT_STREQ(ColumnAt(kFactsColumn + fcRandom).caption, "Random");
}

TEST_F(WindowSettingsTest, OptionsRoundTripAndStayDefaultWhenNeverWritten) {
  WindowSettings settings;
  EXPECT_EQ(settings.ReadOptions(), SessionOptions());
  SessionOptions chosen;
  chosen.hashColumns = true;
  chosen.numericSort = true;
  chosen.chartFacts = true;
  chosen.csvFormat = CsvFormat::kUtf8;
  settings.WriteOptions(chosen);
  EXPECT_EQ(WindowSettings().ReadOptions(), chosen);
  EXPECT_EQ(settings.ini.ReadString("Options", "LibraryFolders", "none"), "none");  // never chosen, never written

  // The song folders, in order; the count says how many of the keys hold.
  chosen.libraryColumns = true;
  chosen.libraryFolders = {tmp_.Path() + "songs", tmp_.Path() + "曲", tmp_.Path() + "more"};
  settings.WriteOptions(chosen);
  EXPECT_EQ(WindowSettings().ReadOptions(), chosen);
  chosen.libraryFolders = {tmp_.Path() + "more"};
  settings.WriteOptions(chosen);
  EXPECT_EQ(WindowSettings().ReadOptions(), chosen);
  chosen.libraryFolders.clear();
  settings.WriteOptions(chosen);
  EXPECT_EQ(WindowSettings().ReadOptions(), chosen);
  // A damaged count reads no further than the keys there are.
  settings.ini.WriteInteger("Options", "LibraryFolders", 2000000000);
  EXPECT_EQ(WindowSettings().ReadOptions().libraryFolders,
            (std::vector<std::string>{tmp_.Path() + "more", tmp_.Path() + "曲", tmp_.Path() + "more"}));
  // The one option on by default: turned off, it stays off.
  EXPECT_TRUE(chosen.ScanOptions().folderArchives);
  chosen.folderArchives = false;
  settings.WriteOptions(chosen);
  EXPECT_EQ(WindowSettings().ReadOptions(), chosen);
  EXPECT_FALSE(WindowSettings().ReadOptions().ScanOptions().folderArchives);
}

TEST_F(WindowSettingsTest, AnExportIsNeverOfferedInNorWrittenToAWorkingFolder) {
  const std::string work = WorkingFolderForUnpacking();
  const std::string spare = SpareWorkingFolder();
  ASSERT_FALSE(spare.empty());
  struct Case {
    std::string path;
    bool inWork;
  };
  const Case cases[] = {
      {work, true},
      {work + "/", true},
      {work + "/list.csv", true},
      {spare + "/list.csv", true},
      {app_ + "workbench/list.csv", false},
      {app_ + "list.csv", false},
      {tmp_.Path() + "work/list.csv", false},  // another folder of that name elsewhere
  };
  for (const Case& c : cases) EXPECT_EQ(IsInWorkingFolders(c.path), c.inWork) << c.path;

  WindowSettings settings;
  settings.RememberExportFolder(work + "/bmslist.csv");
  EXPECT_EQ(settings.ExportFolder(), "");  // stored, but not offered
  settings.RememberExportFolder(app_ + "bmslist.csv");
  EXPECT_EQ(settings.ExportFolder(), app_);
  fs::remove_all(app_ + "gone");
  settings.RememberExportFolder(app_ + "gone/bmslist.csv");
  EXPECT_EQ(settings.ExportFolder(), "");

  ChartList list;
  list.SetCaption(list.Append(), "a.bms");
  EXPECT_THROW(ExportList(list, platform::FsPath{work + "/bmslist.csv"}, {}), platform::EInOutError);
  EXPECT_FALSE(fs::exists(work + "/bmslist.csv"));
  ExportList(list, platform::FsPath{app_ + "bmslist.csv"}, {});
  EXPECT_TRUE(fs::exists(app_ + "bmslist.csv"));
}

}  // namespace
