// SPDX-License-Identifier: MIT
#pragma once
// One new ZIP entry: deflated (zlib, raw deflate) or stored when
// compression does not shrink it, with an extended timestamp for the exact
// time. Names are code page 932 without the UTF-8 flag when CP932 can hold
// them, UTF-8 with the flag otherwise.
#include <cstdint>
#include <ctime>
#include <string>

namespace arc {

constexpr std::uint64_t kMaxZipEntrySize = 0xFFFFFFFEu;  // no ZIP64

struct ZipNewEntry {
  std::string local;    // local header and data
  std::string central;  // central record; its local offset field is 0 until placed
};

// `fsName` is the UTF-8 name ("/" between folders); folders get a
// trailing "/". `level` 0 stores, 1-9 deflate (-1: 6).
ZipNewEntry MakeZipEntry(const std::string& fsName, bool isFolder, std::time_t mtime, const std::string& data,
                         int level);

// Sets the local header offset of a central record.
void SetCentralOffset(std::string& central, std::uint32_t offset);

// The end-of-central-directory record.
std::string ZipEndRecord(std::uint32_t count, std::uint32_t dirSize, std::uint32_t dirOffset,
                         const std::string& comment);

}  // namespace arc
