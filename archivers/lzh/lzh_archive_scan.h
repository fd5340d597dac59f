// SPDX-License-Identifier: MIT
#pragma once
// The entries of an existing LZH archive as byte ranges, so that an update
// copies every entry it keeps exactly as it was stored.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace arc {

struct LzhRawEntry {
  std::uint64_t offset = 0;  // header start
  std::uint64_t length = 0;  // header and data
  std::string name;          // CP932, "/" between folders
  std::time_t mtime = 0;     // UTC
  bool isFolder = false;
};

// Walks the headers of levels 0 to 3 up to the end mark (or the end of the
// file). Throws ArcError(ERROR_NOT_ARC_FILE) when the file does not start
// with an LZH header and ERROR_HEADER_BROKEN when a header or its data
// reaches past the end of the file.
std::vector<LzhRawEntry> ScanLzhArchive(int fd, std::uint64_t fileSize);

}  // namespace arc
