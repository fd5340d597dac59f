// SPDX-License-Identifier: MIT
#pragma once
// Filling the interface's INDIVIDUALINFO and EXTRACTINGINFOEX records.
#include <ctime>
#include <string>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"

namespace arc {

// MS-DOS date and time words of a UTC time, in local time (0, 0 when unknown
// or outside 1980-2107).
void ToDosDateTime(std::time_t t, std::uint16_t& date, std::uint16_t& time);

// "d", "a", "h", "s", "r" flags in fixed places, "-" where unset, e.g.
// "-a---w" for an ordinary file (the last place is "w", or "-" when
// read-only).
std::string AttributeText(const EntryInfo& info);

void FillIndividualInfo(const EntryInfo& info, const std::string& displayName, INDIVIDUALINFO& out);
void FillExtractingInfo(const EntryInfo& info, const std::string& archive, const std::string& destName,
                        EXTRACTINGINFOEX& out);

// Copies a CP932 text into a fixed field, cut short at a whole character.
void CopyField(char* field, std::size_t fieldSize, const std::string& text);

}  // namespace arc
