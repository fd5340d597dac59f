// SPDX-License-Identifier: MIT
#include "charts/chart_date.h"

#include <cstdio>

#include "platform/file_time.h"

std::string FormatChartDate(std::int64_t localSeconds, char separator) {
  platform::CivilTime t = platform::SecondsToCivil(localSeconds);
  if (t.year < 1980 || t.year > 2107) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%c%02d%c%02d", static_cast<int>(t.year), separator, t.month, separator,
                t.day);
  return text;
}

std::string ChartDateText(const platform::FsPath& file) {
  std::int64_t utc = 0;
  if (!platform::GetFileLastWriteTime(file, utc)) return {};
  return ChartDateTextOf(utc);
}

std::string ChartDateTextOf(std::int64_t utcSeconds) {
  std::int64_t local = 0;
  if (!platform::UtcToLocalNow(utcSeconds, local)) return {};
  return FormatChartDate(local, platform::DateSeparator());
}
