// SPDX-License-Identifier: MIT
#pragma once
// File times and the date conventions of the user's locale: a file's
// last-write time, UTC to local conversion and the date separator.
#include <cstdint>
#include <string_view>

#include "platform/paths.h"

namespace platform {

// A calendar date and time of day, without a zone.
struct CivilTime {
  std::int64_t year = 0;
  int month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Opens the file for reading only, takes its last-write time (seconds since
// 1970-01-01 UTC) and closes it again. False when any of that fails.
bool GetFileLastWriteTime(std::string_view path, std::int64_t& utcSeconds);
bool GetFileLastWriteTime(const FsPath& path, std::int64_t& utcSeconds);

// FileTimeToLocalFileTime: shifts by the local offset in force now (not the
// one of that date, so a summer time stamp read in winter moves by the
// daylight-saving hour). False only when the result does not fit.
bool UtcToLocalNow(std::int64_t utcSeconds, std::int64_t& localSeconds);

// LocalFileTimeToFileTime: the inverse of UtcToLocalNow, with the same
// offset in force now, so that a local stamp converted to UTC and back is
// the stamp again whatever its date's daylight-saving state.
bool LocalToUtcNow(std::int64_t localSeconds, std::int64_t& utcSeconds);

// Makes the local time zone a fixed setting for the rest of the run: with
// TZ unset, the C library looks at /etc/localtime again on every local-time
// conversion (two file checks per archive entry). Sets TZ to that file and
// reads it once; a TZ the user set is left alone. Call it at the start of a
// program, before any thread starts. Nothing to do on Windows.
void FixLocalTimeZone();

// Seconds since the epoch as a proleptic Gregorian date and time; any value.
CivilTime SecondsToCivil(std::int64_t seconds);
// The inverse of SecondsToCivil for fields in their normal ranges.
std::int64_t CivilToSeconds(const CivilTime& t);

// The first character of the user's date separator (LC_TIME date format),
// '/' when the locale gives none that is a single ASCII punctuation mark.
char DateSeparator();
// The same from a strftime date format such as "%d.%m.%Y".
char DateSeparatorFromFormat(std::string_view dateFormat);
// For tests: use `c` as the separator; '\0' restores the locale's.
void OverrideDateSeparatorForTesting(char c);
// The separator as the system's locale settings give it, read anew on each
// call (DateSeparator reads it once); one implementation per system.
char LocaleDateSeparator();

}  // namespace platform
