// SPDX-License-Identifier: MIT
// Rows of archives whose path CP932 cannot hold keep the archive's name and
// folder as UTF-8: shown, sorted, exported and read back as characters.
#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/column_text.h"
#include "charts/csv_export.h"
#include "charts/csv_import.h"
#include "platform/cp932.h"

namespace {

using platform::TextEncoding;

ChartRow Row(const std::string& name, const std::string& folder, TextEncoding archiveEncoding) {
  ChartRow row;
  row.caption = "a.bms";
  row.subItems[siTitle] = "\x8B\xC8";  // 曲
  row.subItems[siArcName] = name;
  row.subItems[siArcPath] = folder;
  row.archiveEncoding = archiveEncoding;
  return row;
}

TEST(ArchiveFields, ShownAndSortedAsTheCharactersTheyHold) {
  ChartList list;
  list.AppendRow(Row("노래.lzh", "/s/Música/", TextEncoding::kUtf8));
  list.AppendRow(Row(platform::Utf8ToCp932("い.lzh"), "/s/", TextEncoding::kCp932));
  list.AppendRow(Row("Café.lzh", "/s/", TextEncoding::kUtf8));
  list.AppendRow(Row(platform::Utf8ToCp932("あ.lzh"), "/s/", TextEncoding::kCp932));
  const ChartRow& korean = list.Row(0);
  for (DisplayEncoding d : {DisplayEncoding::kDetected, DisplayEncoding::kCp932}) {
    EXPECT_EQ(ColumnUtf8(korean, siArcName + 1, d), "노래.lzh");
    EXPECT_EQ(ColumnUtf8(korean, siArcPath + 1, d), "/s/Música/");
  }
  // The chart's own texts stay CP932.
  EXPECT_EQ(ColumnUtf8(korean, siTitle + 1), "曲");
  list.ColumnClick(siArcName + 1);
  std::vector<std::string> names;
  for (const ChartRow& r : list.Rows()) names.push_back(ColumnUtf8(r, siArcName + 1));
  EXPECT_EQ(names, (std::vector<std::string>{"Café.lzh", "あ.lzh", "い.lzh", "노래.lzh"}));
}

TEST(ArchiveFields, TheUtf8CsvDecodesThemAndReadsThemBack) {
  ChartList list;
  list.AppendRow(Row("노래.lzh", "/s/Música/", TextEncoding::kUtf8));
  list.AppendRow(Row(platform::Utf8ToCp932("曲.lzh"), "/s/", TextEncoding::kCp932));
  // Classic: the bytes as held.
  const std::string classic = ChartCsvText(list);
  EXPECT_NE(classic.find("\"노래.lzh\",\"/s/Música/\"\r\n"), std::string::npos);
  CsvOptions utf8Options;
  utf8Options.format = CsvFormat::kUtf8;
  const std::string utf8 = ChartCsvText(list, utf8Options);
  EXPECT_NE(utf8.find("\"노래.lzh\",\"/s/Música/\"\r\n"), std::string::npos) << utf8;
  EXPECT_NE(utf8.find("\"曲.lzh\",\"/s/\"\r\n"), std::string::npos);

  std::vector<ChartRow> rows;
  std::string error;
  ASSERT_TRUE(ReadChartCsv(utf8, rows, error)) << error;
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].archiveEncoding, TextEncoding::kUtf8);
  EXPECT_EQ(rows[0].subItems[siArcName], "노래.lzh");
  EXPECT_EQ(rows[0].subItems[siArcPath], "/s/Música/");
  // What CP932 holds comes back as CP932, as a drop makes it.
  EXPECT_EQ(rows[1].archiveEncoding, TextEncoding::kCp932);
  EXPECT_EQ(rows[1].subItems[siArcName], platform::Utf8ToCp932("曲.lzh"));
  EXPECT_EQ(rows[1].subItems[siTitle], "曲");  // header values keep their UTF-8
}

}  // namespace
