// SPDX-License-Identifier: MIT
#pragma once
// ...OpenArchive / FindFirst / FindNext / CloseArchive and ...CheckArchive.
// A handle remembers the archive; FindFirst starts a fresh pass over it.
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
// Reads every entry's data, checking the checksums: true when sound.
bool CheckArchiveFile(const std::vector<ReaderOpener>& openers, const std::string& path);

}  // namespace arc
