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
// seconds; 0 when the fields do not form a date.
std::time_t DosDateTimeToUnix(std::uint32_t dosDateTime);

}  // namespace arc
