// SPDX-License-Identifier: MIT
#pragma once
// Fields that DOS-born archive formats (CAB, ARJ, RAR 4) store the same way:
// "\"-separated CP932 names and packed MS-DOS local timestamps.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace arc {

// "\" between folders becomes "/". Walks whole CP932 characters, so the
// second byte of a character such as 0x95 0x5C is left alone.
std::string BackslashesToSlashes(std::string_view cp932);

// A packed DOS date (high word) and time (low word), local time, as UTC
// seconds; 0 when the fields do not form a date. The local offset in force
// now is used, not the one of the stamp's date, so that the stamp read back
// in local time (platform::UtcToLocalNow) is the stamp as stored, also
// across a daylight-saving change.
std::time_t DosDateTimeToUnix(std::uint32_t dosDateTime);

// The same stamp as libarchive and liblhasa convert it: with mktime and the
// daylight-saving state of the stamp's own date.
std::time_t DosDateTimeByItsOwnDate(std::uint32_t dosDateTime);

// The time to give an entry whose library-reported time is `libraryTime`
// and whose header holds the DOS stamp `dosDateTime`: when the library took
// its time from the stamp, the stamp converted as DosDateTimeToUnix does;
// when it took it from a UTC field of the entry (a ZIP extended timestamp,
// an LZH Unix time extension), that time unchanged.
std::time_t LocalStampTime(std::uint32_t dosDateTime, std::time_t libraryTime);

}  // namespace arc
