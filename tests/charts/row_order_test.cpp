// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/row_compare.h"
#include "charts/text_collator.h"
#include "platform/cp932.h"

namespace {

const std::string kMark = "\x81\x9B";  // ○

int Sign(int r) { return (r > 0) - (r < 0); }

TEST(CompareText, OrderOfTheList) {
  // Pairs in ascending order.
  const std::pair<std::string, std::string> ascending[] = {
      {"120", "95"},  // digits are characters, not numbers
      {"150", "60"},
      {"", "0"},       // the empty text first
      {"", kMark},
      {"a", "A"},      // lower case first when otherwise equal
      {"abc", "ABD"},  // but case decides only then
      {"ABC", "abd"},
      {"1999/05/03", "2001/01/01"},
      {"apple", "Banana"},
      {"\x83\x41", "\x83\x43"},  // ア before イ
  };
  for (const auto& [a, b] : ascending) {
    EXPECT_LT(CompareText(a, b), 0) << a << " < " << b;
    EXPECT_GT(CompareText(b, a), 0) << b << " > " << a;
  }
  EXPECT_EQ(CompareText("same", "same"), 0);
}

TEST(CompareText, SortKeysAgreeWithPairwiseComparison) {
  const TextCollator& c = TextCollator::Japanese();
  const std::string texts[] = {"", "a", "A", "ab", "aB", "Ab", "120", "95", "1", kMark, "\x83\x41", "\xB1",
                               "\x82\xA0", "x y", "x-y", "\xFF\x80"};
  for (const std::string& a : texts)
    for (const std::string& b : texts)
      EXPECT_EQ(Sign(c.SortKey(a).compare(c.SortKey(b))), Sign(c.Compare(a, b))) << a << " vs " << b;
}

std::string Sjis(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// Run under more than one locale (see CMakeLists.txt): the order must not
// follow the process's locale.
TEST(CompareText, JapaneseOrderWhateverTheLocale) {
  const std::pair<const char*, const char*> ascending[] = {
      {"亜", "一"}, {"一", "漢"}, {"漢", "弌"},  // Japanese readings, not code points
      {"coom", "co-op"}, {"co-op", "coopa"},  // hyphen and apostrophe weigh almost nothing
      {"coom", "coop"},   {"it", "it's"},   {"it's", "itself"},
      {"a-b", "a-c"},     {"x y", "xz"},      // a blank still counts
      {"a", "A"},         {"120", "95"},
  };
  for (const auto& [a, b] : ascending) {
    EXPECT_LT(CompareText(Sjis(a), Sjis(b)), 0) << a << " < " << b;
    EXPECT_GT(CompareText(Sjis(b), Sjis(a)), 0) << b << " > " << a;
  }
  // Kinds and widths of kana stay apart, in the one order the sort key gives.
  const char* distinct[][2] = {{"あ", "ア"}, {"ア", "ｱ"}, {"か", "が"}, {"co-op", "coop"}};
  for (const auto& d : distinct) EXPECT_NE(CompareText(Sjis(d[0]), Sjis(d[1])), 0) << d[0] << " vs " << d[1];
}

TEST(CompareText, IgnoringCaseKeepsEverythingElse) {
  const TextCollator& c = TextCollator::JapaneseIgnoringCase();
  EXPECT_EQ(c.Compare("abc.BMS", "ABC.bms"), 0);
  EXPECT_LT(c.Compare("a.bms", "B.bms"), 0);
  EXPECT_NE(c.Compare(Sjis("あ.bms"), Sjis("ア.bms")), 0);
  EXPECT_LT(c.Compare(Sjis("亜.bms"), Sjis("一.BMS")), 0);
}

ChartList ListOf(const std::vector<std::array<std::string, 3>>& rows, int subItem) {
  // Each row: caption, the text of `subItem`, and a tag kept in sub-item 11.
  ChartList list;
  for (const auto& r : rows) {
    std::size_t i = list.Append();
    list.SetCaption(i, r[0]);
    list.SetSubItem(i, subItem, r[1]);
    list.SetSubItem(i, siArcPath, r[2]);
  }
  return list;
}

std::string Tags(const ChartList& list) {
  std::string s;
  for (const ChartRow& r : list.Rows()) s += r.subItems[siArcPath];
  return s;
}

TEST(ChartListSort, ColumnsSortAsText) {
  struct Case {
    const char* what;
    int subItem;
    std::vector<std::array<std::string, 3>> rows;
    const char* ascending;  // tags in the order of the first click
  } cases[] = {
      {"BPM as text", siBpm, {{"x", "95", "a"}, {"x", "120", "b"}, {"x", "60", "c"}, {"x", "150", "d"}}, "bdca"},
      {"dates, empty first",
       siDate,
       {{"x", "2001/01/02", "a"}, {"x", "", "b"}, {"x", "1999/12/31", "c"}, {"x", "2001/01/01", "d"}},
       "bcda"},
      {"marks, unmarked first", siWav, {{"x", kMark, "a"}, {"x", "", "b"}, {"x", kMark, "c"}, {"x", "", "d"}}, "bdac"},
      {"lower case first", siTitle, {{"x", "B", "a"}, {"x", "b", "b"}, {"x", "A", "c"}, {"x", "a", "d"}}, "dcba"},
  };
  for (const Case& c : cases) {
    ChartList list = ListOf(c.rows, c.subItem);
    list.ColumnClick(c.subItem + 1);
    EXPECT_EQ(Tags(list), c.ascending) << c.what;
  }
}

TEST(ChartListSort, OneSignAlternatesAcrossColumns) {
  ChartList list = ListOf({{"b.bms", "2", "1"}, {"c.bms", "3", "2"}, {"a.bms", "1", "3"}}, siTitle);
  EXPECT_EQ(list.Tag(), -1);
  list.ColumnClick(3);  // Title ascending
  EXPECT_EQ(Tags(list), "312");
  list.ColumnClick(0);  // Filename, descending because the sign is shared
  EXPECT_EQ(list.Tag(), -1);
  EXPECT_EQ(Tags(list), "213");
  list.ColumnClick(3);  // ascending again
  EXPECT_EQ(Tags(list), "312");
  // Column indexes outside 1..22 sort by the caption (13 and 14 are the
  // hash columns, 15 to 22 the facts, empty here).
  for (int column : {kColumnCountWithFacts, -1, 1000}) {
    list.ColumnClick(column);
    EXPECT_EQ(list.Rows().front().caption, list.Tag() > 0 ? "a.bms" : "c.bms") << column;
  }
}

TEST(ChartListSort, EqualRowsKeepTheirOrderBothWays) {
  ChartList list = ListOf({{"x", "b", "1"}, {"x", "a", "2"}, {"x", "b", "3"}, {"x", "a", "4"}, {"x", "b", "5"}},
                          siGenre);
  list.ColumnClick(2);
  EXPECT_EQ(Tags(list), "24135");
  list.ColumnClick(2);
  EXPECT_EQ(Tags(list), "13524");
  // Rows added after a sort go to the end until the next click.
  std::size_t i = list.Append();
  list.SetSubItem(i, siArcPath, "6");
  EXPECT_EQ(Tags(list), "135246");
}

TEST(ChartListSort, KeysWorkedOutForTheListSortWithTheSameSignAndOrder) {
  ChartList list = ListOf({{"x", "", "1"}, {"x", "", "2"}, {"x", "", "3"}, {"x", "", "4"}}, siGenre);
  const std::uint64_t before = list.Revision();
  list.ColumnClickByKeys({"b", "", "あ", "A"});  // ascending: empty first, lower case before upper, kana last
  EXPECT_EQ(Tags(list), "2413");
  EXPECT_NE(list.Revision(), before);
  list.ColumnClick(2);  // the sign is shared with the list's own columns
  EXPECT_EQ(list.Tag(), -1);
  list.ColumnClickByKeys({"", "x", "", "x"});  // by row as the list stands; equal keys keep their order
  EXPECT_EQ(Tags(list), "2143");
  // Keys that do not match the rows change nothing, not even the sign.
  list.ColumnClickByKeys({"a"});
  EXPECT_EQ(list.Tag(), 1);
  EXPECT_EQ(Tags(list), "2143");
}

TEST(ChartListSort, ListOrderMatchesCompareRows) {
  // A larger mixed list: every neighbouring pair after sorting must be in
  // CompareRows order, checked against the pairwise comparison.
  ChartList list;
  const std::string words[] = {"a", "B", "b", "10", "9", "", kMark, "\x83\x41", "Ab", "ab", "aB"};
  for (int n = 0; n < 200; ++n) {
    std::size_t i = list.Append();
    list.SetSubItem(i, siArtist, words[(n * 7) % std::size(words)] + words[(n * 3) % std::size(words)]);
  }
  for (int click = 0; click < 2; ++click) {
    list.ColumnClick(1);
    for (std::size_t i = 1; i < list.Count(); ++i)
      EXPECT_LE(CompareRows(list.Row(i - 1), list.Row(i), 1, list.Tag()), 0) << i;
  }
}

}  // namespace

TEST(ChartListSort, NumberColumnsSortByValueWhenAsked) {
  struct Case {
    const char* what;
    int subItem;
    std::vector<std::array<std::string, 3>> rows;
    const char* ascending;  // tags after the first click
    const char* descending;
  } cases[] = {
      {"BPM by value", siBpm, {{"x", "95", "a"}, {"x", "120", "b"}, {"x", "60.5", "c"}, {"x", " 150", "d"}}, "cabd", "dbac"},
      // Text without a number after every number, in text order; equal
      // values keep their order both ways.
      {"levels with words", siDifficulty, {{"x", "?", "a"}, {"x", "12", "b"}, {"x", "", "c"}, {"x", "3", "d"}, {"x", "12", "e"}},
       "dbeca", "acbed"},
      {"a leading number counts", siPlayer, {{"x", "3 (DP)", "a"}, {"x", "1", "b"}, {"x", "-1", "c"}, {"x", ".5", "d"}},
       "cdba", "abdc"},
      // Only the number columns: a title stays text even with the option.
      {"title stays text", siTitle, {{"x", "10", "a"}, {"x", "9", "b"}}, "ab", "ba"},
  };
  for (const Case& c : cases) {
    ChartList list = ListOf(c.rows, c.subItem);
    list.SetNumericSort(true);
    list.ColumnClick(c.subItem + 1);
    EXPECT_EQ(Tags(list), c.ascending) << c.what;
    list.ColumnClick(c.subItem + 1);
    EXPECT_EQ(Tags(list), c.descending) << c.what;
  }
}

TEST(ChartListSort, HeaderValuesInOtherEncodingsSortAsTheCharactersShown) {
  // A UTF-8 title and a Korean one among Shift-JIS ones: each sorts where
  // its characters read, not where its bytes would as Shift-JIS.
  ChartList list;
  auto add = [&list](const std::string& title, platform::TextEncoding encoding, const char* tag) {
    ChartRow row;
    row.subItems[siTitle] = title;
    row.encoding = encoding;
    row.subItems[siArcPath] = tag;
    list.AppendRow(row);
  };
  add(Sjis("う"), platform::TextEncoding::kCp932, "c");
  add("あ", platform::TextEncoding::kUtf8, "a");  // as Shift-JIS bytes: "縺ゅ", after every kana
  add(Sjis("い"), platform::TextEncoding::kCp932, "b");
  add("\xB0\xA1", platform::TextEncoding::kCp949, "d");  // 가 in CP949
  list.ColumnClick(siTitle + 1);
  EXPECT_EQ(Tags(list), "abcd");
  // The comparison of two rows agrees with the order.
  EXPECT_LT(CompareRows(list.Row(0), list.Row(1), siTitle + 1, 1), 0);
  EXPECT_LT(CompareRows(list.Row(2), list.Row(3), siTitle + 1, 1), 0);
}
