// SPDX-License-Identifier: MIT
#include "library/difficulty_table.h"

#include <gtest/gtest.h>

#include "library/library_index.h"
#include "tests/support/files.h"

using library::ReadDifficultyTable;
using library::TableError;
using test_support::TempDir;

namespace {

const std::string kMd5 = "0123456789abcdef0123456789abcdef";
const std::string kSha = std::string(64, 'e');

std::string Body() {
  return R"([
    {"md5": ")" + kMd5 + R"(", "level": "12", "title": "曲"},
    {"sha256": ")" + std::string(64, 'E') + R"(", "level": 3, "title": "only sha"},
    {"md5": "", "sha256": "", "level": "1", "title": "no hash"},
    {"md5": "not hex", "level": 0.5, "title": "bad hash"},
    {"md5": ")" + std::string(32, 'A') + R"(", "level": 0.5}
  ])";
}

TEST(DifficultyTable, HeaderAndBodyRelativeToIt) {
  TempDir tmp;
  tmp.Write("t/header.json", "\xEF\xBB\xBF{\"name\": \"発狂BMS\", \"symbol\": \"★\", \"data_url\": \"data/score.json\"}");
  tmp.Write("t/data/score.json", Body());
  const library::DifficultyTable t = ReadDifficultyTable(tmp / "t/header.json");
  EXPECT_EQ(t.name, "発狂BMS");
  EXPECT_EQ(t.symbol, "★");
  EXPECT_EQ(t.source, tmp / "t/header.json");
  ASSERT_EQ(t.entries.size(), 3u);
  EXPECT_EQ(t.skipped, 2u);
  EXPECT_EQ(t.entries[0].md5, kMd5);
  EXPECT_EQ(t.entries[0].level, "12");
  EXPECT_EQ(t.entries[0].title, "曲");
  EXPECT_EQ(t.entries[1].md5, "");
  EXPECT_EQ(t.entries[1].sha256, kSha);  // lower-cased
  EXPECT_EQ(t.entries[1].level, "3");    // numbers as the site shows them
  EXPECT_EQ(t.entries[2].md5, std::string(32, 'a'));
  EXPECT_EQ(t.entries[2].level, "0.5");
}

TEST(DifficultyTable, APageNamesItsHeaderAndURLsNameTheFileBesideIt) {
  const struct {
    const char* what;
    std::string page;
  } pages[] = {
      {"plain", R"(<html><head><meta charset="utf-8"><meta name="bmstable" content="head.json"></head></html>)"},
      {"content first, single quotes, capitals",
       R"(<HTML><HEAD><META content='head.json' NAME='BMSTable' /></HEAD>)"},
      {"a URL with a query", R"(<meta name=bmstable content="https://example.com/t/head.json?v=3">)"},
  };
  for (const auto& p : pages) {
    TempDir tmp;
    tmp.Write("page.html", p.page);
    tmp.Write("head.json", R"({"name": "N", "symbol": "◆", "data_url": "http://example.com/x/body.json"})");
    tmp.Write("body.json", Body());
    const library::DifficultyTable t = ReadDifficultyTable(tmp / "page.html");
    EXPECT_EQ(t.name, "N") << p.what;
    EXPECT_EQ(t.entries.size(), 3u) << p.what;
  }
  EXPECT_EQ(library::BmstableMetaContent(R"(<meta name="description" content="x"><meta name="bmstable">)"), "");
  EXPECT_EQ(library::BmstableMetaContent(R"(<meta xname="bmstable" content="x">)"), "");
  EXPECT_EQ(library::BmstableMetaContent("<meta name=\"bmstable\" content=\"cut"), "");
}

TEST(DifficultyTable, WhatIsWrongIsSaidWithTheFileAndNothingIsImported) {
  const struct {
    const char* what;
    std::string header, body;
    const char* file;  // the file the message names
    const char* says;
  } cases[] = {
      {"header not JSON", R"({"name": "N", "data_url": "b.json",)", "[]", "h.json", "not valid JSON"},
      {"body not JSON", R"({"name": "N", "data_url": "b.json"})", R"([{"md5": "x"},])", "b.json", "not valid JSON"},
      {"number past any double", R"({"name": "N", "data_url": "b.json"})", R"([{"level": 1e999}])", "b.json",
       "not valid JSON: number overflow"},
      {"body not an array", R"({"name": "N", "data_url": "b.json"})", R"({"md5": "x"})", "b.json", "not a JSON array"},
      {"entry not an object", R"({"name": "N", "data_url": "b.json"})", R"([{}, 3])", "b.json", "entry 2 is not an object"},
      {"no name", R"({"data_url": "b.json"})", "[]", "h.json", "no \"name\""},
      {"no data_url", R"({"name": "N"})", "[]", "h.json", "no \"data_url\""},
      {"header an array", R"(["name"])", "[]", "h.json", "a table's body"},
      {"body missing", R"({"name": "N", "data_url": "missing.json"})", "[]", "missing.json", "cannot be read"},
  };
  for (const auto& c : cases) {
    TempDir tmp;
    tmp.Write("h.json", c.header);
    tmp.Write("b.json", c.body);
    library::LibraryIndex index(tmp / "library.sqlite");
    try {
      index.StoreTable(ReadDifficultyTable(tmp / "h.json"));
      ADD_FAILURE() << c.what << ": no error";
    } catch (const TableError& e) {
      const std::string said = e.what();
      EXPECT_EQ(said.rfind(tmp / c.file + ": ", 0), 0u) << c.what << ": " << said;
      EXPECT_NE(said.find(c.says), std::string::npos) << c.what << ": " << said;
    }
    EXPECT_TRUE(index.Tables().empty()) << c.what;
  }
  TempDir tmp;
  tmp.Write("page.html", "<html>no table here</html>");
  EXPECT_THROW(ReadDifficultyTable(tmp / "page.html"), TableError);
  EXPECT_THROW(ReadDifficultyTable(tmp / "missing.html"), TableError);
}

}  // namespace
