#include "archivers/zip/zip_central.h"

#include <unistd.h>

#include <algorithm>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dos_fields.h"

namespace arc {

namespace {
constexpr std::uint64_t kMaxDirectory = 64u << 20;

std::uint32_t U16(const unsigned char* p) { return p[0] | p[1] << 8; }
std::uint32_t U32(const unsigned char* p) { return U16(p) | U16(p + 2) << 16; }

std::string ReadAt(int fd, std::uint64_t off, std::size_t len) {
  std::string buf(len, '\0');
  std::size_t got = 0;
  while (got < len) {
    ssize_t n = pread(fd, buf.data() + got, len - got, static_cast<off_t>(off + got));
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got != len) throw ArcError(ERROR_HEADER_BROKEN, "ZIP record cut short");
  return buf;
}

const unsigned char* U(const std::string& s, std::size_t at = 0) {
  return reinterpret_cast<const unsigned char*>(s.data() + at);
}

// The mtime of an extended timestamp field (0x5455) in `extra`, if any.
bool ExtendedTime(const std::string& extra, std::time_t& t) {
  for (std::size_t p = 0; p + 4 <= extra.size();) {
    std::uint32_t id = U16(U(extra, p)), len = U16(U(extra, p + 2));
    if (p + 4 + len > extra.size()) break;
    if (id == 0x5455 && len >= 5 && (extra[p + 4] & 1)) {
      t = static_cast<std::time_t>(static_cast<std::int32_t>(U32(U(extra, p + 5))));
      return true;
    }
    p += 4 + len;
  }
  return false;
}
}  // namespace

ZipLayout ReadZipLayout(int fd, std::uint64_t fileSize) {
  ZipLayout out;
  std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 22 + 65535));
  if (tail < 22) throw ArcError(ERROR_NOT_ARC_FILE, "not a ZIP archive");
  std::string buf = ReadAt(fd, fileSize - tail, tail);
  std::size_t at = std::string::npos;
  for (std::size_t i = tail - 22 + 1; i-- > 0;)
    if (U32(U(buf, i)) == 0x06054b50 && i + 22 + U16(U(buf, i + 20)) <= tail) {
      at = i;
      break;
    }
  if (at == std::string::npos) throw ArcError(ERROR_NOT_ARC_FILE, "not a ZIP archive");
  const unsigned char* e = U(buf, at);
  if (U16(e + 4) != 0 || U16(e + 6) != 0) throw ArcError(ERROR_NOT_SUPPORT, "split ZIP archives are not supported");
  std::uint32_t count = U16(e + 10), dirSize = U32(e + 12), dirOff = U32(e + 16);
  if (count == 0xFFFF || dirSize == 0xFFFFFFFFu || dirOff == 0xFFFFFFFFu)
    throw ArcError(ERROR_NOT_SUPPORT, "ZIP64 archives cannot be changed");
  out.comment = buf.substr(at + 22, U16(e + 20));
  std::uint64_t endPos = fileSize - tail + at;
  if (dirSize > endPos || dirSize > kMaxDirectory) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP directory");
  out.directoryOffset = endPos - dirSize;
  out.directorySize = dirSize;
  out.shift = static_cast<std::int64_t>(out.directoryOffset) - static_cast<std::int64_t>(dirOff);
  std::string dir = ReadAt(fd, out.directoryOffset, dirSize);
  std::size_t p = 0;
  for (std::uint32_t n = 0; n < count; ++n) {
    if (p + 46 > dir.size() || U32(U(dir, p)) != 0x02014b50) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP directory");
    const unsigned char* h = U(dir, p);
    std::size_t nameLen = U16(h + 28), extraLen = U16(h + 30), commentLen = U16(h + 32);
    std::size_t recLen = 46 + nameLen + extraLen + commentLen;
    if (p + recLen > dir.size()) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP directory");
    ZipRecord r;
    r.central = dir.substr(p, recLen);
    r.name = dir.substr(p + 46, nameLen);
    std::uint32_t flags = U16(h + 8);
    r.utf8 = (flags & 0x0800) != 0;
    std::uint64_t packed = U32(h + 20), stored = U32(h + 42);
    if (packed == 0xFFFFFFFFu || stored == 0xFFFFFFFFu || U32(h + 24) == 0xFFFFFFFFu)
      throw ArcError(ERROR_NOT_SUPPORT, "ZIP64 archives cannot be changed");
    if (!ExtendedTime(dir.substr(p + 46 + nameLen, extraLen), r.mtime))
      r.mtime = DosDateTimeToUnix(U16(h + 14) << 16 | U16(h + 12));
    std::int64_t real = static_cast<std::int64_t>(stored) + out.shift;
    if (real < 0 || static_cast<std::uint64_t>(real) + 30 > out.directoryOffset)
      throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP directory");
    r.localOffset = static_cast<std::uint64_t>(real);
    std::string local = ReadAt(fd, r.localOffset, 30);
    if (U32(U(local)) != 0x04034b50) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP local header");
    std::uint64_t end = r.localOffset + 30 + U16(U(local, 26)) + U16(U(local, 28)) + packed;
    if (flags & 0x0008) {
      // A data descriptor follows, with or without its signature.
      std::string sig = end + 4 <= out.directoryOffset ? ReadAt(fd, end, 4) : std::string();
      end += (sig.size() == 4 && U32(U(sig)) == 0x08074b50) ? 16 : 12;
    }
    if (end > out.directoryOffset) throw ArcError(ERROR_HEADER_BROKEN, "damaged ZIP entry");
    r.localLength = end - r.localOffset;
    out.records.push_back(std::move(r));
    p += recLen;
  }
  return out;
}

}  // namespace arc
