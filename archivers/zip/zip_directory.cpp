// SPDX-License-Identifier: MIT
#include "archivers/zip/zip_directory.h"

#include <unistd.h>
#include <algorithm>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/shared/name_coding.h"
#include "platform/cp932.h"

namespace arc {

namespace {
constexpr std::uint64_t kMaxDirectory = 64u << 20;  // metadata bound for hostile files
constexpr std::size_t kEndSize = 22, kLocatorSize = 20, kZip64EndSize = 56, kCentralSize = 46;
constexpr std::size_t kShortTail = 1024;
constexpr std::uint32_t kEndSig = 0x06054b50, kLocatorSig = 0x07064b50, kZip64EndSig = 0x06064b50,
                        kCentralSig = 0x02014b50;

constexpr const char* kBroken = "damaged ZIP directory";
[[noreturn]] void Broken() { throw ArcError(ERROR_HEADER_BROKEN, kBroken); }

std::string ReadAt(int fd, std::uint64_t off, std::size_t len) { return ReadZipBytes(fd, off, len, kBroken); }
const unsigned char* U(const std::string& s, std::size_t at = 0) { return ZipBytesAt(s, at); }

// The data of extra field `id` in `extra`; false when there is none.
bool FindExtra(const std::string& extra, std::uint32_t id, std::string& data) {
  for (std::size_t p = 0; p + 4 <= extra.size();) {
    std::uint32_t fieldId = Le16(U(extra, p)), len = Le16(U(extra, p + 2));
    if (p + 4 + len > extra.size()) return false;
    if (fieldId == id) {
      data = extra.substr(p + 4, len);
      return true;
    }
    p += 4 + len;
  }
  return false;
}

// The 64-bit values of the ZIP64 extra field replace the 32-bit fields that
// hold all ones, in this order.
void ApplyZip64Extra(ZipDirEntry& e, std::uint64_t& storedOffset) {
  std::string z;
  if (!FindExtra(e.extra, 0x0001, z)) return;
  std::size_t at = 0;
  for (std::uint64_t* field : {&e.size, &e.compressedSize, &storedOffset}) {
    if (*field != 0xFFFFFFFFu) continue;
    if (at + 8 > z.size()) Broken();
    *field = Le64(U(z, at));
    at += 8;
    e.zip64 = true;
  }
}

struct EndRecord {
  std::uint64_t count = 0, dirSize = 0, dirOffset = 0;
  std::uint64_t dirEnd = 0;  // real position right after the directory
  std::uint64_t recordEnd = 0;  // real position right after the end record's fixed part
  bool zip64 = false, split = false;
  std::uint32_t disk = 0;  // the number of the disk holding the end record
  std::string comment;
};

// The last end record in `buf`, the file's last bytes, whose comment ends
// exactly at the end of the file (`exact`) or anywhere inside it; npos when
// there is none. A comment may itself hold the signature, so the record
// whose comment runs to the end is the better witness.
std::size_t LastEndRecord(const std::string& buf, bool exact) {
  std::size_t tail = buf.size();
  for (std::size_t i = tail - kEndSize + 1; i-- > 0;) {
    if (Le32(U(buf, i)) != kEndSig) continue;
    std::size_t end = i + kEndSize + Le16(U(buf, i + 20));
    if (exact ? end == tail : end <= tail) return i;
  }
  return std::string::npos;
}

EndRecord FindEnd(int fd, std::uint64_t fileSize) {
  std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndSize + 65535));
  if (tail < kEndSize) throw ArcError(ERROR_NOT_ARC_FILE, "not a ZIP archive");
  // Most archives carry no comment: a short tail finds the record, and
  // the search from the end finds the same one the whole tail would.
  std::size_t shortTail = std::min<std::size_t>(tail, kShortTail);
  std::uint64_t tailStart = fileSize - shortTail;
  std::string buf = ReadAt(fd, tailStart, shortTail);
  std::size_t at = LastEndRecord(buf, true);
  if (at == std::string::npos && shortTail < tail) {
    tailStart = fileSize - tail;
    buf = ReadAt(fd, tailStart, tail);
    at = LastEndRecord(buf, true);
  }
  // Bytes appended after the comment: the last record that fits.
  if (at == std::string::npos) at = LastEndRecord(buf, false);
  if (at == std::string::npos) throw ArcError(ERROR_NOT_ARC_FILE, "not a ZIP archive");
  const unsigned char* e = U(buf, at);
  EndRecord end;
  end.split = Le16(e + 4) != 0 || Le16(e + 6) != 0;
  end.disk = Le16(e + 4);
  end.count = Le16(e + 10);
  end.dirSize = Le32(e + 12);
  end.dirOffset = Le32(e + 16);
  end.comment = buf.substr(at + kEndSize, Le16(e + 20));
  std::uint64_t endPos = tailStart + at;
  end.dirEnd = endPos;
  end.recordEnd = endPos + kEndSize;
  if (endPos < kLocatorSize) return end;
  std::string loc = ReadAt(fd, endPos - kLocatorSize, kLocatorSize);
  if (Le32(U(loc)) != kLocatorSig) {
    // All ones without a ZIP64 record: the real value is lost. A count of
    // 0xFFFF may be just that many entries.
    if (end.dirSize == 0xFFFFFFFFu || end.dirOffset == 0xFFFFFFFFu) Broken();
    return end;
  }
  // The ZIP64 end record: where the locator says, or, behind a stub, right
  // before the locator (its fixed size; extensible data is not used).
  std::uint64_t locatorPos = endPos - kLocatorSize, stored = Le64(U(loc, 8));
  std::uint64_t recordPos = stored;
  std::string rec;
  if (stored + kZip64EndSize <= locatorPos) rec = ReadAt(fd, stored, kZip64EndSize);
  if (rec.size() != kZip64EndSize || Le32(U(rec)) != kZip64EndSig) {
    if (locatorPos < kZip64EndSize) Broken();
    recordPos = locatorPos - kZip64EndSize;
    rec = ReadAt(fd, recordPos, kZip64EndSize);
    if (Le32(U(rec)) != kZip64EndSig) Broken();
  }
  end.zip64 = true;
  if (end.disk == 0xFFFF) end.disk = Le32(U(rec, 16));
  end.split = end.split || Le32(U(rec, 16)) != 0 || Le32(U(rec, 20)) != 0 || Le32(U(loc, 4)) != 0 || Le32(U(loc, 16)) > 1;
  end.count = Le64(U(rec, 32));
  end.dirSize = Le64(U(rec, 40));
  end.dirOffset = Le64(U(rec, 48));
  end.dirEnd = recordPos;
  return end;
}

bool ValidCp932(const std::string& s) {
  std::string ignored;
  return platform::TryCp932ToUtf8(s, ignored);
}

}  // namespace

std::string ReadZipBytes(int fd, std::uint64_t off, std::size_t len, const char* whenShort) {
  std::string buf(len, '\0');
  std::size_t got = 0;
  while (got < len) {
    ssize_t n = pread(fd, buf.data() + got, len - got, static_cast<std::int64_t>(off + got));
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got != len) throw ArcError(ERROR_HEADER_BROKEN, whenShort);
  return buf;
}

ZipDirectory ReadZipDirectory(int fd, std::uint64_t fileSize, bool storedOffsets) {
  EndRecord end = FindEnd(fd, fileSize);
  ZipDirectory out;
  out.lastDisk = end.disk;
  out.zip64 = end.zip64;
  out.split = end.split;
  out.comment = end.comment;
  out.endRecordEnd = end.recordEnd;
  // A volume of a split archive whose directory begins in an earlier
  // volume: only the end record is at hand.
  if (storedOffsets && end.dirSize > end.dirEnd) return out;
  if (end.dirSize > end.dirEnd || end.dirSize > kMaxDirectory) Broken();
  // Each record is at least 46 bytes: a count beyond that is a lie.
  if (end.count > end.dirSize / kCentralSize) Broken();
  out.directoryOffset = end.dirEnd - end.dirSize;
  out.directorySize = end.dirSize;
  out.shift = static_cast<std::int64_t>(out.directoryOffset) - static_cast<std::int64_t>(end.dirOffset);
  std::string dir = ReadAt(fd, out.directoryOffset, static_cast<std::size_t>(end.dirSize));
  std::size_t p = 0;
  out.entries.reserve(static_cast<std::size_t>(end.count));
  for (std::uint64_t n = 0; n < end.count; ++n) {
    if (p + kCentralSize > dir.size() || Le32(U(dir, p)) != kCentralSig) Broken();
    const unsigned char* h = U(dir, p);
    std::size_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
    std::size_t recLen = kCentralSize + nameLen + extraLen + commentLen;
    if (p + recLen > dir.size()) Broken();
    ZipDirEntry e;
    e.central = dir.substr(p, recLen);
    e.rawName = dir.substr(p + kCentralSize, nameLen);
    e.extra = dir.substr(p + kCentralSize + nameLen, extraLen);
    e.madeByHost = static_cast<std::uint8_t>(h[5]);
    e.flags = static_cast<std::uint16_t>(Le16(h + 8));
    e.method = static_cast<std::uint16_t>(Le16(h + 10));
    e.crc = Le32(h + 16);
    e.dosDateTime = static_cast<std::uint32_t>(Le16(h + 14)) << 16 | Le16(h + 12);
    e.compressedSize = Le32(h + 20);
    e.size = Le32(h + 24);
    std::uint64_t stored = Le32(h + 42);
    ApplyZip64Extra(e, stored);
    e.disk = Le16(h + 34);
    std::int64_t real = static_cast<std::int64_t>(stored) + out.shift;
    if (storedOffsets)
      e.localOffset = stored;
    else if (real < 0 || static_cast<std::uint64_t>(real) >= out.directoryOffset)
      Broken();
    else
      e.localOffset = static_cast<std::uint64_t>(real);
    out.entries.push_back(std::move(e));
    p += recLen;
  }
  return out;
}

ZipEntryName DecideZipName(const ZipDirEntry& e) {
  std::string field;
  // Unicode Path: version 1, CRC-32 of the stored name, then the UTF-8 name.
  if (FindExtra(e.extra, 0x7075, field) && field.size() >= 5 && field[0] == 1) {
    std::uint32_t crc = Crc32(0, e.rawName.data(), e.rawName.size());
    std::string name = field.substr(5);
    if (Le32(U(field, 1)) == crc && !name.empty()) return {name, true};
  }
  // A flag on bytes that are no UTF-8 is a tool's mistake: the name is read
  // as an unflagged one.
  if ((e.flags & 0x0800) && IsUtf8(e.rawName)) return {e.rawName, true};
  bool utf8 = LooksLikeUtf8(e.rawName) && (e.madeByHost == 3 || e.madeByHost == 19 || !ValidCp932(e.rawName));
  return {e.rawName, utf8};
}

std::string ZipMethodName(std::uint16_t method) {
  switch (method) {
    case 0: return "store";
    case 8: return "deflate";
    case 9: return "deflt64";
    case 12: return "bzip2";
    case 14: return "lzma";
    case 93: return "zstd";
    case 95: return "xz";
    case 98: return "ppmd";
    case 99: return "aes";
    default: return "method" + std::to_string(method);
  }
}

std::vector<ZipDirEntry> InLocalHeaderOrder(std::vector<ZipDirEntry> entries) {
  auto byOffset = [](const ZipDirEntry& a, const ZipDirEntry& b) { return a.localOffset < b.localOffset; };
  // Most directories list the entries in the order of their data already.
  if (!std::is_sorted(entries.begin(), entries.end(), byOffset))
    std::stable_sort(entries.begin(), entries.end(), byOffset);
  auto dup = std::unique(entries.begin(), entries.end(),
                         [](const ZipDirEntry& a, const ZipDirEntry& b) { return a.localOffset == b.localOffset; });
  entries.erase(dup, entries.end());
  return entries;
}

}  // namespace arc
