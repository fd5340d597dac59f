// SPDX-License-Identifier: MIT
#include "archivers/zip/zip_central.h"

#include <unistd.h>

#include <algorithm>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/zip/zip_directory.h"

namespace arc {

namespace {
std::string ReadAt(int fd, std::uint64_t off, std::size_t len) {
  return ReadZipBytes(fd, off, len, "ZIP record cut short");
}
const unsigned char* U(const std::string& s, std::size_t at = 0) { return ZipBytesAt(s, at); }

// The mtime of an extended timestamp field (0x5455) in `extra`, if any.
bool ExtendedTime(const std::string& extra, std::time_t& t) {
  for (std::size_t p = 0; p + 4 <= extra.size();) {
    std::uint32_t id = Le16(U(extra, p)), len = Le16(U(extra, p + 2));
    if (p + 4 + len > extra.size()) break;
    if (id == 0x5455 && len >= 5 && (extra[p + 4] & 1)) {
      t = static_cast<std::time_t>(static_cast<std::int32_t>(Le32(U(extra, p + 5))));
      return true;
    }
    p += 4 + len;
  }
  return false;
}
}  // namespace

ZipLayout ReadZipLayout(int fd, std::uint64_t fileSize) {
  ZipDirectory dir = ReadZipDirectory(fd, fileSize);
  if (dir.split) throw ArcError(ERROR_NOT_SUPPORT, "split ZIP archives are not supported");
  // The records are copied as stored, and our writer has no ZIP64 fields.
  if (dir.zip64) throw ArcError(ERROR_NOT_SUPPORT, "ZIP64 archives cannot be changed");
  ZipLayout out;
  out.comment = dir.comment;
  out.directoryOffset = dir.directoryOffset;
  out.directorySize = dir.directorySize;
  out.shift = dir.shift;
  for (ZipDirEntry& e : dir.entries) {
    if (e.zip64 || e.size == 0xFFFFFFFFu || e.compressedSize == 0xFFFFFFFFu)
      throw ArcError(ERROR_NOT_SUPPORT, "ZIP64 archives cannot be changed");
    ZipRecord r;
    r.central = std::move(e.central);
    r.name = std::move(e.rawName);
    r.utf8 = (e.flags & 0x0800) != 0;
    if (!ExtendedTime(e.extra, r.mtime)) r.mtime = DosDateTimeToUnix(e.dosDateTime);
    r.localOffset = e.localOffset;
    if (r.localOffset + 30 > out.directoryOffset) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP directory");
    std::string local = ReadAt(fd, r.localOffset, 30);
    if (Le32(U(local)) != 0x04034b50) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP local header");
    std::uint64_t end = r.localOffset + 30 + Le16(U(local, 26)) + Le16(U(local, 28)) + e.compressedSize;
    if (e.flags & 0x0008) {
      // A data descriptor follows, with or without its signature.
      std::string sig = end + 4 <= out.directoryOffset ? ReadAt(fd, end, 4) : std::string();
      end += (sig.size() == 4 && Le32(U(sig)) == 0x08074b50) ? 16 : 12;
    }
    if (end > out.directoryOffset) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP entry");
    r.localLength = end - r.localOffset;
    out.records.push_back(std::move(r));
  }
  return out;
}

}  // namespace arc
