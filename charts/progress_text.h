// SPDX-License-Identifier: MIT
#pragma once
// What the window's progress strip and bmslist-cli's progress line show,
// worked out once for both (CP932).
#include <cstddef>
#include <string>

#include "archivers/include/archiver_api.h"

// "2 / 5  song.zip": which archive of how many, by its name.
std::string ArchiveProgressText(std::size_t index, std::size_t count, const std::string& archivePath);

// The entry a library's progress report says it is writing, without its
// folder; "" for reports that name no entry (opening, finishing). The
// report's source name is the archive itself, never the entry.
std::string ProgressEntryName(int state, const EXTRACTINGINFOEX* info);
