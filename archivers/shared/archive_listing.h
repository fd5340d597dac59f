// SPDX-License-Identifier: MIT
#pragma once
// ...OpenArchive / FindFirst / FindNext / CloseArchive and ...CheckArchive.
// A handle remembers the archive; FindFirst starts a fresh pass over it.
#include <cstdint>
#include <string>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/reader_opener.h"

namespace arc {

// 0 when no opener recognises the file.
HARC OpenArchiveHandle(const std::vector<ReaderOpener>& openers, const std::string& path);
// 0 when closed, ERROR_HARC_ISNOT_OPENED for an unknown handle.
int CloseArchiveHandle(HARC harc);
// 0 with `info` filled; -1 after the last match; an error code otherwise.
// `wildName` holds blank-separated patterns; empty matches every entry.
int FindFirstEntry(HARC harc, const std::string& wildName, INDIVIDUALINFO* info);
int FindNextEntry(HARC harc, INDIVIDUALINFO* info);
// The entry the last FindFirst/FindNext on the handle answered 0 for: 0,
// -1 when there is none (no search yet, or the search ended), or
// ERROR_HARC_ISNOT_OPENED.
int CurrentEntry(HARC harc, EntryInfo& info, std::string& displayName);

// What the getters of a whole archive answer: the entries matching the
// handle's search patterns (every entry before any FindFirst).
struct ArchiveTotals {
  std::uint64_t originalSize = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t entries = 0;
  std::uint32_t osType = 0;  // of the first matching entry
};
// The handle's archive path and, when `totals` is given, its totals from
// a pass like FindFirst's (so both always agree): 0,
// ERROR_HARC_ISNOT_OPENED, or the error that stopped the pass.
int ArchiveOf(HARC harc, std::string& path, ArchiveTotals* totals);

// The number of entries (folders included) a FindFirst/FindNext pass
// meets; -1 when the archive cannot be opened or read to the end.
int CountEntries(const std::vector<ReaderOpener>& openers, const std::string& path);

// Reads every entry's data, checking the checksums: true when sound.
bool CheckArchiveFile(const std::vector<ReaderOpener>& openers, const std::string& path);

}  // namespace arc
