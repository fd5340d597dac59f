#include "archivers/shared/dos_fields.h"

#include "platform/cp932.h"

namespace arc {

std::string BackslashesToSlashes(std::string_view cp932) {
  std::string out(cp932);
  for (std::size_t i = 0; i < out.size(); i = platform::NextCharPos(out, i)) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

std::time_t DosDateTimeToUnix(std::uint32_t dosDateTime) {
  std::uint32_t date = dosDateTime >> 16, time = dosDateTime & 0xFFFF;
  int day = date & 0x1F, month = (date >> 5) & 0x0F;
  int hour = time >> 11, minute = (time >> 5) & 0x3F, second = (time & 0x1F) * 2;
  if (day == 0 || month == 0 || month > 12 || hour > 23 || minute > 59 || second > 59) return 0;
  std::tm tm{};
  tm.tm_year = static_cast<int>(date >> 9) + 80;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  return t == static_cast<std::time_t>(-1) ? 0 : t;
}

}  // namespace arc
