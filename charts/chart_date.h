// SPDX-License-Identifier: MIT
#pragma once
// The "Date" column: a chart file's modification date.
#include <cstdint>
#include <string>

#include "platform/paths.h"

// The file's last-write time in local time as "yyyy/mm/dd", each "/" being
// the user's date separator; empty when the time cannot be read or lies
// outside 1980-01-01..2107-12-31 (what a DOS date can hold).
std::string ChartDateText(const platform::FsPath& file);

// The same for a time given in UTC seconds.
std::string ChartDateTextOf(std::int64_t utcSeconds);

// The formatting half: local seconds since 1970 to the date text, empty
// outside that range.
std::string FormatChartDate(std::int64_t localSeconds, char separator);
