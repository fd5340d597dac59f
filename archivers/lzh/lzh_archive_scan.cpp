// SPDX-License-Identifier: MIT
#include "archivers/lzh/lzh_archive_scan.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/lzh/lzh_header_name.h"

namespace arc {

namespace {

std::vector<std::uint8_t> ReadAt(int fd, std::uint64_t offset, std::size_t size) {
  std::vector<std::uint8_t> buf(size);
  std::size_t got = 0;
  while (got < size) {
    ssize_t n = pread(fd, buf.data() + got, size - got, static_cast<std::int64_t>(offset + got));
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  buf.resize(got);
  return buf;
}

bool LooksLikeMethod(const std::uint8_t* m) { return m[0] == '-' && m[4] == '-'; }
}  // namespace

std::vector<LzhRawEntry> ScanLzhArchive(int fd, std::uint64_t fileSize) {
  std::vector<LzhRawEntry> out;
  std::uint64_t pos = 0;
  const auto broken = [] { return ArcError(ERROR_HEADER_BROKEN, "damaged LZH header"); };
  while (pos < fileSize) {
    auto head = ReadAt(fd, pos, 28);
    if (head.empty() || head[0] == 0) break;  // end mark
    if (head.size() < 22 || !LooksLikeMethod(&head[2])) {
      if (out.empty()) throw ArcError(ERROR_NOT_ARC_FILE, "not an LZH archive");
      throw broken();
    }
    int level = head[20];
    std::uint64_t headerLen = 0, dataLen = Le32(&head[7]);
    LzhRawEntry e;
    switch (level) {
      case 0:
      case 1:
        headerLen = head[0] + 2u;
        // Level 1 counts its extension headers in the packed size.
        e.mtime = DosDateTimeToUnix(Le32(&head[15]));
        break;
      case 2:
        headerLen = Le16(&head[0]);
        e.mtime = static_cast<std::time_t>(Le32(&head[15]));
        break;
      case 3:
        if (head.size() < 28) throw broken();
        headerLen = Le32(&head[24]);
        e.mtime = static_cast<std::time_t>(Le32(&head[15]));
        break;
      default:
        throw broken();
    }
    e.offset = pos;
    e.length = headerLen + dataLen;
    if (headerLen < 22 || e.length > fileSize - pos) throw broken();
    // The name lies within the base header and its extension fields.
    auto raw = ReadAt(fd, pos, static_cast<std::size_t>(std::min<std::uint64_t>(e.length, 1 << 20)));
    e.name = LzhHeaderName(raw.data(), raw.size(), level);
    e.isFolder = std::memcmp(&head[2], "-lhd-", 5) == 0;
    if (e.name.empty()) throw broken();
    while (e.isFolder && !e.name.empty() && e.name.back() == '/') e.name.pop_back();
    out.push_back(std::move(e));
    pos += out.back().length;
  }
  return out;
}

}  // namespace arc
