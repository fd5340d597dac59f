// SPDX-License-Identifier: MIT
// The collection's columns as a window uses them: scanned in the background
// through the session, looked up row by row, following the list's order,
// tables read in and removed, the export's trailing fields.
#include "session/library_columns.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "charts/chart_hash.h"
#include "session/column_table.h"
#include "session/session.h"
#include "session/window_settings.h"
#include "tests/support/files.h"
#include "tests/support/program_folder.h"

namespace {

class CountingView : public SessionView {
 public:
  std::vector<std::string> problems;
  int keepAlives = 0, jobs = 0;
  std::function<void()> onKeepAlive;
  void DropStarted(std::size_t) override { ++jobs; }
  void ArchiveStarted(std::size_t, std::size_t, const std::string&) override {}
  void EntryStarted(const std::string&) override {}
  void ProblemFound(const ArchiveProblem& p) override { problems.push_back(p.archivePath); }
  void DropFinished(const DropOutcome&) override {}
  void KeepAlive() override {
    ++keepAlives;
    if (onKeepAlive) onKeepAlive();
  }
};

std::string Md5Of(const std::string& bytes) {
  ChartHasher hasher;
  hasher.Update(bytes);
  std::string md5, sha256;
  hasher.Finish(md5, sha256);
  return md5;
}

class LibraryColumnsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.keepAliveInterval = std::chrono::milliseconds(0);
    columns_.SetIndexPath(tmp_ / "library.sqlite");
    tmp_.Write("songs/pack/a.bms", kOwned);
    options_.libraryColumns = true;
    options_.libraryFolders = {tmp_ / "songs"};
    tmp_.Write("table/header.json", R"({"name": "Insane", "symbol": "★", "data_url": "body.json"})");
    tmp_.Write("table/body.json", "[{\"md5\": \"" + Md5Of(kOwned) + "\", \"level\": \"12\"}]");
  }
  void AddRow(const std::string& archive, const std::string& md5) {
    ChartRow row;
    row.caption = "x.bms";
    row.subItems[siArcName] = archive;
    row.subItems[siArcPath] = archive;  // sorts as the archive does
    row.md5 = md5;
    session_.List().AppendRow(row);
  }
  std::vector<std::string> Column(int which) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < session_.List().Count(); ++i) out.push_back(columns_.Text(i, which));
    return out;
  }

  static constexpr char kOwned[] = "#TITLE owned\r\n";
  test_support::TempDir tmp_;
  CountingView view_;
  Session session_{view_};
  LibraryColumns columns_{session_};
  SessionOptions options_;
};

TEST_F(LibraryColumnsTest, RowsShowTheirLibraryChartTheirTableAndTheEarlierRow) {
  library::StoredTable table;
  std::string error;
  ASSERT_TRUE(columns_.ImportTable(tmp_ / "table/header.json", table, error)) << error;
  EXPECT_EQ(table.name, "Insane");
  EXPECT_EQ(table.entries, 1u);
  AddRow("b.zip", Md5Of(kOwned));
  AddRow("c.zip", Md5Of("#TITLE new\r\n"));
  AddRow("a.zip", Md5Of(kOwned));
  // Hidden: nothing is looked up.
  EXPECT_EQ(Column(0), (std::vector<std::string>{"", "", ""}));

  columns_.Apply(options_);
  int changes = 0;
  columns_.onChanged = [&] { ++changes; };
  columns_.Refresh();
  EXPECT_TRUE(columns_.Scanned());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(view_.jobs, 1);  // the scan ran as a job the view showed
  EXPECT_EQ(Column(0), (std::vector<std::string>{"pack/a.bms", "", "pack/a.bms"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"★12", "", "★12"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"", "", "b.zip"}));
  EXPECT_FALSE(columns_.IsDuplicate(0));
  EXPECT_TRUE(columns_.IsDuplicate(2));

  // The earlier row follows the list's order.
  session_.List().ColumnClick(kChartColumnCount - 1);  // ArcPath, ascending
  EXPECT_EQ(Column(2), (std::vector<std::string>{"", "a.zip", ""}));
  EXPECT_TRUE(columns_.IsDuplicate(1));

  // A second refresh scans no more; a table removed leaves its marks.
  columns_.Refresh();
  EXPECT_EQ(view_.jobs, 1);
  ASSERT_TRUE(columns_.RemoveTable("Insane", error)) << error;
  EXPECT_EQ(Column(1), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(Column(0)[0], "pack/a.bms");
  EXPECT_TRUE(columns_.Tables(error).empty());
}

TEST_F(LibraryColumnsTest, TheExportCarriesTheColumnsInTheUtf8FormOnly) {
  AddRow("b.zip", Md5Of(kOwned));
  AddRow("a.zip", Md5Of(kOwned));
  columns_.Apply(options_);
  columns_.Refresh();
  std::vector<std::vector<std::string>> fields;
  options_.csvFormat = CsvFormat::kUtf8;
  const CsvOptions utf8 = columns_.Csv(options_, fields);
  ASSERT_EQ(utf8.trailingFields, &fields);
  EXPECT_EQ(fields, (std::vector<std::vector<std::string>>{{"pack/a.bms", "", ""}, {"pack/a.bms", "", "b.zip"}}));
  const std::string text = ChartCsvText(session_.List(), utf8);
  EXPECT_NE(text.find("\"pack/a.bms\",\"\",\"b.zip\"\r\n"), std::string::npos) << text;

  options_.csvFormat = CsvFormat::kClassic;
  EXPECT_EQ(columns_.Csv(options_, fields).trailingFields, nullptr);
  options_.csvFormat = CsvFormat::kUtf8;
  options_.libraryColumns = false;
  columns_.Apply(options_);
  EXPECT_EQ(columns_.Csv(options_, fields).trailingFields, nullptr);
}

TEST_F(LibraryColumnsTest, ATableThatCannotBeReadStoresNothing) {
  tmp_.Write("bad/header.json", R"({"name": "Bad", "data_url": "body.json"})");
  tmp_.Write("bad/body.json", R"([{"md5": "x"},])");
  const struct {
    std::string file;
  } cases[] = {{tmp_ / "bad/header.json"}, {tmp_ / "missing.json"}, {tmp_ / "songs/pack/a.bms"}};
  for (const auto& c : cases) {
    library::StoredTable table;
    std::string error;
    EXPECT_FALSE(columns_.ImportTable(c.file, table, error)) << c.file;
    EXPECT_FALSE(error.empty()) << c.file;
    EXPECT_TRUE(columns_.Tables(error).empty()) << c.file;
  }
  std::string error;
  EXPECT_FALSE(columns_.RemoveTable("Bad", error));
}

TEST_F(LibraryColumnsTest, ACancelledScanIsTakenUpAgainAndAMissingFolderIsReportedOnce) {
  AddRow("b.zip", Md5Of(kOwned));
  columns_.Apply(options_);
  view_.onKeepAlive = [&] { session_.RequestCancel(); };
  columns_.Refresh();
  EXPECT_FALSE(columns_.Scanned());
  EXPECT_EQ(columns_.Text(0, 0), "");
  view_.onKeepAlive = nullptr;
  columns_.Refresh();
  EXPECT_TRUE(columns_.Scanned());
  EXPECT_EQ(columns_.Text(0, 0), "pack/a.bms");

  options_.libraryFolders.push_back(tmp_ / "gone");
  columns_.Apply(options_);
  EXPECT_FALSE(columns_.Scanned());
  columns_.Refresh();
  ASSERT_EQ(view_.problems.size(), 1u);
  EXPECT_NE(view_.problems[0].find("gone"), std::string::npos);
  columns_.Refresh();  // not scanned again at every drop
  EXPECT_EQ(view_.problems.size(), 1u);
  EXPECT_EQ(columns_.Text(0, 0), "pack/a.bms");
}

TEST_F(LibraryColumnsTest, AnIndexThatCannotBeOpenedIsReportedOnceAndDuplicatesStillShow) {
  tmp_.Write("blocked", "a file where the index's folder should be");
  columns_.SetIndexPath(tmp_ / "blocked/library.sqlite");
  AddRow("b.zip", Md5Of(kOwned));
  AddRow("a.zip", Md5Of(kOwned));
  columns_.Apply(options_);
  columns_.Refresh();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"", "b.zip"}));
  EXPECT_EQ(view_.problems.size(), 1u);
  columns_.Refresh();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(view_.problems.size(), 1u);
}

}  // namespace
