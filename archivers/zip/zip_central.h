// SPDX-License-Identifier: MIT
#pragma once
// The records of an existing ZIP archive as byte ranges, for updates that
// copy the entries they keep exactly as stored, and for fixing the offsets
// of an archive behind a self-extractor stub.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace arc {

struct ZipRecord {
  std::string central;            // the central directory record as stored
  std::string name;               // raw name bytes
  bool utf8 = false;              // general-purpose flag bit 11
  std::time_t mtime = 0;          // UTC (extended timestamp when present, else the DOS time)
  std::uint64_t localOffset = 0;  // where the local header really is in the file
  std::uint64_t localLength = 0;  // local header, data and data descriptor
};

struct ZipLayout {
  std::vector<ZipRecord> records;
  std::uint64_t directoryOffset = 0;  // where the central directory really is
  std::uint64_t directorySize = 0;
  std::int64_t shift = 0;             // real offsets minus stored offsets (a stub's length)
  std::string comment;
};

// The directory as ReadZipDirectory (zip_directory.h) reads it, with each
// entry's extent. Throws ArcError: ERROR_NOT_ARC_FILE without an end record,
// ERROR_HEADER_BROKEN for records that do not fit the file, ERROR_NOT_SUPPORT
// for ZIP64 and split archives.
ZipLayout ReadZipLayout(int fd, std::uint64_t fileSize);

// Central record field offsets used when copying records.
constexpr std::size_t kCentralLocalOffsetField = 42;

}  // namespace arc
