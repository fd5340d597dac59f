// SPDX-License-Identifier: MIT
#pragma once
// One LZH entry as UNLHA32 writes it: a level 2 header (code page 932
// names, the folder in its own extension field with 0xFF between folders,
// a CRC-16 of the data and a CRC-16 of the header) followed by the data,
// compressed with -lh5- or stored as -lh0- when compression would not
// shrink it.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace arc {

// The largest entry a level 2 header can describe (32-bit sizes).
constexpr std::uint64_t kMaxLzhEntrySize = 0xFFFFFFFFu;

// `name` is CP932 with "/" between folders; a folder entry has no data.
// Throws ArcError(ERROR_ADD_TO_LARGE) for data beyond kMaxLzhEntrySize and
// ERROR_NOT_FILENAME for a name a header cannot hold.
std::string MakeLzhEntry(const std::string& name, bool isFolder, std::time_t mtime, const std::uint8_t* data,
                         std::size_t size);

// The byte that ends an LZH archive.
inline constexpr char kLzhArchiveEnd = '\0';

}  // namespace arc
