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

// A size in a 32-bit field: 0xFFFFFFFF when it does not fit.
std::uint32_t Clamp32(std::uint64_t v);
// Packed size over original in per mille, at most 0xFFFF; 0 for an empty
// original.
std::uint16_t RatioPerMille(std::uint64_t packed, std::uint64_t original);

// Copies a CP932 text into a fixed field, cut short at a whole character.
void CopyField(char* field, std::size_t fieldSize, const std::string& text);

}  // namespace arc
