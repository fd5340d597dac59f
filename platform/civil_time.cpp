// SPDX-License-Identifier: MIT
// The calendar arithmetic, date-format reading and separator choice of
// file_time.h, the same on every system.
#include <atomic>
#include <cctype>

#include "platform/file_time.h"

namespace platform {

std::int64_t CivilToSeconds(const CivilTime& t) {
  // Civil date to days (H. Hinnant's algorithm, the inverse of the one below).
  std::int64_t y = t.year - (t.month <= 2 ? 1 : 0);
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t mp = t.month > 2 ? t.month - 3 : t.month + 9;
  std::int64_t doy = (153 * mp + 2) / 5 + t.day - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  std::int64_t days = era * 146097 + doe - 719468;
  return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

CivilTime SecondsToCivil(std::int64_t seconds) {
  // Floor division so that times before 1970 land on the right day.
  std::int64_t days = seconds / 86400, rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Days to civil date (H. Hinnant's algorithm, eras of 400 years).
  std::int64_t z = days + 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  CivilTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yoe + era * 400 + (t.month <= 2 ? 1 : 0);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

char DateSeparatorFromFormat(std::string_view fmt) {
  // The separator is the text after the first conversion ("%d", "%Om",
  // "%-m"...). A non-ASCII one such as the Japanese "年" is no separator
  // in the sense of "yyyy/mm/dd", so those locales keep '/'.
  std::size_t i = fmt.find('%');
  if (i == std::string_view::npos) return '/';
  ++i;
  while (i < fmt.size() && !std::isalpha(static_cast<unsigned char>(fmt[i]))) ++i;  // flags, width
  if (i < fmt.size() && (fmt[i] == 'E' || fmt[i] == 'O')) ++i;                    // modifiers
  if (i < fmt.size() && fmt[i] == 'F') return '-';                                 // %Y-%m-%d
  ++i;                                                                             // the conversion
  if (i >= fmt.size()) return '/';
  unsigned char c = static_cast<unsigned char>(fmt[i]);
  if (c == '%' || c > 0x7E || !std::ispunct(c)) return '/';
  return static_cast<char>(c);
}

namespace {
std::atomic<char> g_separatorOverride{'\0'};
}  // namespace

char DateSeparator() {
  char forced = g_separatorOverride.load();
  if (forced != '\0') return forced;
  static const char fromLocale = LocaleDateSeparator();
  return fromLocale;
}

void OverrideDateSeparatorForTesting(char c) { g_separatorOverride.store(c); }

}  // namespace platform
