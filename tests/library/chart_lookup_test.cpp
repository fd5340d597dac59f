// SPDX-License-Identifier: MIT
#include "library/chart_lookup.h"

#include <gtest/gtest.h>

#include "library/library_index.h"
#include "tests/support/files.h"

namespace {

std::size_t AddRow(ChartList& list, const std::string& archive, const std::string& md5, const std::string& sha256) {
  ChartRow row;
  row.caption = "x.bms";
  row.subItems[siArcName] = archive;
  row.md5 = md5;
  row.sha256 = sha256;
  return list.AppendRow(row);
}

TEST(ChartLookup, LibraryTableAndTheEarlierRowOfTheSameChart) {
  test_support::TempDir tmp;
  const std::string bytes = "#TITLE in the library\r\n";
  tmp.Write("songs/pack/a.bms", bytes);
  library::LibraryIndex index(tmp / "library.sqlite");
  index.Scan(tmp / "songs", {"bms"});
  FILE* p = popen(("md5sum '" + tmp / "songs/pack/a.bms" + "'").c_str(), "r");
  char md5[33] = {};
  ASSERT_EQ(fread(md5, 1, 32, p), 32u);
  pclose(p);
  const std::string known(md5), other(32, '1'), sha(64, '2');
  index.StoreTable({"T1", "★", "t1", {{known, "", "12", ""}, {"", sha, "4", ""}}, 0});
  index.StoreTable({"T2", "sl", "t2", {{known, "", "0", ""}}, 0});

  ChartList list;
  AddRow(list, "first.zip", known, "");
  AddRow(list, "\x8B\xC8\x1B.zip", other, sha);  // 曲 and an escape character
  AddRow(list, "third.zip", known, "");
  AddRow(list, "fourth.zip", other, "");
  AddRow(list, "unhashed.zip", "", "");
  AddRow(list, "unhashed2.zip", "", "");

  const std::vector<library::RowLookup> rows = library::LookUpRows(list, &index, {tmp / "songs"});
  ASSERT_EQ(rows.size(), 6u);
  const struct {
    std::string library, table, duplicate;
  } expected[] = {
      {"pack/a.bms", "★12 sl0", ""},
      {"", "★4", ""},
      {"pack/a.bms", "★12 sl0", "first.zip"},
      {"", "", "曲\\x1B.zip"},  // the first row of that MD5, shown as the list shows it
      {"", "", ""},
      {"", "", ""},  // rows without hashes are no duplicates of each other
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].library, expected[i].library) << i;
    EXPECT_EQ(rows[i].table, expected[i].table) << i;
    EXPECT_EQ(rows[i].duplicate, expected[i].duplicate) << i;
  }
  // Without an index only the list itself speaks.
  const std::vector<library::RowLookup> alone = library::LookUpRows(list, nullptr, {});
  EXPECT_EQ(alone[2].duplicate, "first.zip");
  EXPECT_EQ(alone[0].library, "");
  EXPECT_EQ(alone[0].table, "");
}

}  // namespace
