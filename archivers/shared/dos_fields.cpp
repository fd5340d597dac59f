// SPDX-License-Identifier: MIT
#include "archivers/shared/dos_fields.h"

#include "platform/cp932.h"
#include "platform/file_time.h"

namespace arc {

std::string BackslashesToSlashes(std::string_view cp932) {
  std::string out(cp932);
  for (std::size_t i = 0; i < out.size(); i = platform::NextCharPos(out, i)) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

namespace {

bool DosFields(std::uint32_t dosDateTime, platform::CivilTime& t) {
  std::uint32_t date = dosDateTime >> 16, time = dosDateTime & 0xFFFF;
  t.year = static_cast<std::int64_t>(date >> 9) + 1980;
  t.month = (date >> 5) & 0x0F;
  t.day = date & 0x1F;
  t.hour = time >> 11;
  t.minute = (time >> 5) & 0x3F;
  t.second = (time & 0x1F) * 2;
  return t.day != 0 && t.month != 0 && t.month <= 12 && t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

}  // namespace

std::time_t DosDateTimeToUnix(std::uint32_t dosDateTime) {
  platform::CivilTime t;
  if (!DosFields(dosDateTime, t)) return 0;
  std::int64_t utc = 0;
  if (!platform::LocalToUtcNow(platform::CivilToSeconds(t), utc)) return 0;
  return static_cast<std::time_t>(utc);
}

std::time_t DosDateTimeByItsOwnDate(std::uint32_t dosDateTime) {
  platform::CivilTime t;
  if (!DosFields(dosDateTime, t)) return 0;
  std::tm tm{};
  tm.tm_year = static_cast<int>(t.year - 1900);
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  std::time_t r = std::mktime(&tm);
  return r == static_cast<std::time_t>(-1) ? 0 : r;
}

std::time_t LocalStampTime(std::uint32_t dosDateTime, std::time_t libraryTime) {
  if (libraryTime == DosDateTimeByItsOwnDate(dosDateTime)) return DosDateTimeToUnix(dosDateTime);
  return libraryTime;
}

}  // namespace arc
