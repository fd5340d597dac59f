// SPDX-License-Identifier: MIT
#include "charts/chart_date.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <ctime>

#include "charts/chart_reader.h"
#include "platform/file_time.h"
#include "tests/support/files.h"
#include "tests/support/time_zone.h"

using test_support::TempDir;

namespace {

// Seconds since 1970 of a UTC calendar time.
std::int64_t Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  struct tm t = {};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return static_cast<std::int64_t>(timegm(&t));
}

TEST(ChartDate, FormatsOnlyTheDosDateRange) {
  struct Case {
    std::int64_t seconds;
    char sep;
    const char* text;
  } cases[] = {
      {Utc(1999, 5, 3, 12), '/', "1999/05/03"},
      {Utc(1999, 5, 3, 12), '.', "1999.05.03"},
      {Utc(1980, 1, 1), '/', "1980/01/01"},
      {Utc(1979, 12, 31, 23, 59, 59), '/', ""},
      {Utc(2107, 12, 31, 23, 59, 59), '-', "2107-12-31"},
      {Utc(2108, 1, 1), '/', ""},
      {Utc(2000, 2, 29, 23, 59, 59), '/', "2000/02/29"},
      {Utc(1969, 12, 31, 23, 59, 59), '/', ""},
      {INT64_MIN, '/', ""},
      {INT64_MAX, '/', ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatChartDate(c.seconds, c.sep), c.text) << c.seconds;
}

TEST(ChartDate, CivilDatesAgreeWithTheCLibrary) {
  for (std::int64_t s = -5'000'000'000LL; s < 5'000'000'000LL; s += 86'399 * 37 + 1234) {
    std::time_t t = static_cast<std::time_t>(s);
    struct tm ref;
    ASSERT_TRUE(gmtime_r(&t, &ref));
    platform::CivilTime c = platform::SecondsToCivil(s);
    ASSERT_EQ(c.year, ref.tm_year + 1900) << s;
    ASSERT_EQ(c.month, ref.tm_mon + 1) << s;
    ASSERT_EQ(c.day, ref.tm_mday) << s;
    ASSERT_EQ(c.hour * 3600 + c.minute * 60 + c.second, ref.tm_hour * 3600 + ref.tm_min * 60 + ref.tm_sec) << s;
  }
}

TEST(ChartDate, SeparatorFromTheLocaleDateFormat) {
  struct Case {
    const char* format;
    char sep;
  } cases[] = {
      {"%m/%d/%y", '/'},  {"%d.%m.%Y", '.'},      {"%Y-%m-%d", '-'}, {"%F", '-'},
      {"%-d. %-m. %Y", '.'}, {"%Od/%Om/%Y", '/'}, {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", '/'},  // 年月日
      {"%d%m%Y", '/'},    {"", '/'},              {"%", '/'},        {"%d %m %Y", '/'},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::DateSeparatorFromFormat(c.format), c.sep) << c.format;
}

using test_support::ScopedTimeZone;

void SetModified(const std::string& file, std::int64_t seconds) {
  struct timeval times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  ASSERT_EQ(utimes(file.c_str(), times), 0);
}

TEST(ChartDate, ReadChartTakesTheLocalDateOfTheLastWrite) {
  TempDir dir;
  std::string file = dir.Write("d.bms", "#TITLE t\n");
  SetModified(file, Utc(1999, 5, 2, 20, 30));
  platform::OverrideDateSeparatorForTesting('.');
  ChartRow row;
  {
    ScopedTimeZone jst("JST-9");  // 20:30 UTC is the next morning in Japan
    ReadChart(row, file);
    EXPECT_EQ(row.subItems[siDate], "1999.05.03");
  }
  {
    ScopedTimeZone utc("UTC0");
    ReadChart(row, file);
    EXPECT_EQ(row.subItems[siDate], "1999.05.02");
  }
  platform::OverrideDateSeparatorForTesting('\0');

  // Before 1980: no date, the rest is read as usual.
  SetModified(file, Utc(1975, 6, 1));
  ReadChart(row, file);
  EXPECT_EQ(row.subItems[siDate], "");
  EXPECT_EQ(row.subItems[siTitle], "t");
}

}  // namespace
