// SPDX-License-Identifier: MIT
#pragma once
// A charts-only scan without the disk: one call into the archive's library
// lists the archive and hands over the charts' bytes, which are then read
// as the files an unpacking would have left. Used only when the outcome is
// sure to be that of the unpacking: anything the unpacking and the listing
// of the working folder might treat otherwise gives no scan, and the
// caller unpacks as before.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "charts/archive_names.h"
#include "platform/files.h"

class TArchiver;

// Past these many names an archive's listing is no song's: the rest is
// left out.
inline constexpr std::size_t kMaxArchiveNames = 100000;

struct MemoryChart {
  platform::FoundFile file;  // the name the unpacked file would be listed by
  std::string bytes;
  std::int64_t time = 0;  // UTC seconds, as the unpacking sets the file's time
};

struct MemoryScan {
  std::vector<MemoryChart> charts;  // in the order the listing found them
  ArchiveNames names;               // every file of the archive, as its listing gives them, when asked
};

// The charts (files named by `extensions`, from any folder, as an
// unpacking without folders would leave them) of the archive at
// `archivePath` (CP932, absolute), and its listing when `listing`. None when the library cannot do it in
// memory, anything failed, no chart is there, or the files left on disk
// could be listed otherwise: two charts taking one name, a name CP932
// cannot hold, a hidden name or attribute, a name with dots or spaces
// after it, no time.
std::optional<MemoryScan> ReadChartsInMemory(TArchiver& archiver, const std::string& archivePath,
                                             const std::vector<std::string>& extensions, bool listing);
