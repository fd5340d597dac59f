// SPDX-License-Identifier: MIT
#include "archivers/rar/rar_header.h"

#include <vector>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/shared/stdio_file.h"

namespace arc::rar {

namespace {

constexpr std::uint8_t kMainHeaderType = 0x73;
constexpr std::uint8_t kFileHeaderType = 0x74;
constexpr std::uint8_t kEndType = 0x7B;
constexpr std::uint16_t kLongBlock = 0x8000;  // a 32-bit data size follows the base
constexpr std::size_t kBaseSize = 7;
constexpr std::size_t kMainHeaderSize = 13;
constexpr std::size_t kFileFixedSize = 32;  // base, sizes, OS, CRC, time, versions, name size, attributes


[[noreturn]] void Broken() { throw ArcError(ERROR_HEADER_BROKEN, "RAR header is damaged"); }

bool CrcMatches(const std::vector<std::uint8_t>& h, std::size_t size) {
  return (Crc32(0, h.data() + 2, size - 2) & 0xFFFF) == Le16(h.data());
}

// The whole header of `type` at `offset`, its CRC checked. Old main headers
// that embed a comment count only their fixed part, so for them
// `altCrcSize` is accepted as well.
std::vector<std::uint8_t> ReadHeader(std::FILE* f, std::uint64_t offset, std::uint8_t type, std::size_t minSize,
                                     std::size_t altCrcSize = 0) {
  std::uint8_t base[kBaseSize];
  if (!SeekFromStart(f, offset) || std::fread(base, 1, kBaseSize, f) != kBaseSize) {
    Broken();
  }
  std::size_t size = Le16(base + 5);
  if (base[2] != type || size < minSize) Broken();
  std::vector<std::uint8_t> h(size);
  std::copy(base, base + kBaseSize, h.begin());
  if (std::fread(h.data() + kBaseSize, 1, size - kBaseSize, f) != size - kBaseSize) Broken();
  if (!CrcMatches(h, size) && !(altCrcSize && CrcMatches(h, altCrcSize))) {
    throw ArcError(ERROR_HEADER_CRC, "RAR header fails its CRC");
  }
  return h;
}

}  // namespace

std::uint16_t ReadArchiveFlags(std::FILE* f) {
  return Le16(ReadHeader(f, sizeof kRar4Signature, kMainHeaderType, kMainHeaderSize, kMainHeaderSize).data() + 3);
}

FileHeader ReadFileHeader(std::FILE* f, std::uint64_t offset) {
  std::vector<std::uint8_t> h = ReadHeader(f, offset, kFileHeaderType, kFileFixedSize);
  FileHeader fh;
  fh.dataOffset = offset + h.size();
  fh.flags = Le16(&h[3]);
  fh.packSize = Le32(&h[7]);
  fh.unpSize = Le32(&h[11]);
  fh.hostOs = h[15];
  fh.fileCrc = Le32(&h[16]);
  fh.dosTime = Le32(&h[20]);
  fh.unpVersion = h[24];
  fh.method = h[25];
  std::size_t nameSize = Le16(&h[26]);
  fh.attributes = Le32(&h[28]);
  std::size_t pos = kFileFixedSize;
  if (fh.flags & kLarge) {
    if (h.size() < pos + 8) Broken();
    fh.packSize |= static_cast<std::uint64_t>(Le32(&h[pos])) << 32;
    fh.unpSize |= static_cast<std::uint64_t>(Le32(&h[pos + 4])) << 32;
    pos += 8;
  }
  if (h.size() < pos + nameSize) Broken();
  fh.name.assign(reinterpret_cast<const char*>(&h[pos]), nameSize);
  return fh;
}

bool NextFileHeader(std::FILE* f, std::uint64_t fileLength, std::uint64_t& offset, FileHeader& header) {
  while (offset + kBaseSize <= fileLength) {
    std::uint8_t base[kBaseSize + 4] = {};
    if (!SeekFromStart(f, offset) || std::fread(base, 1, kBaseSize, f) != kBaseSize) return false;
    std::uint8_t type = base[2];
    std::uint64_t size = Le16(base + 5);
    if (size < kBaseSize) Broken();
    if (type == kEndType) return false;
    if (type == kFileHeaderType) {
      header = ReadFileHeader(f, offset);
      offset = header.dataOffset + header.packSize;
      return true;
    }
    if (Le16(base + 3) & kLongBlock) {
      if (std::fread(base + kBaseSize, 1, 4, f) != 4) return false;
      size += Le32(base + kBaseSize);
    }
    offset += size;
  }
  return false;
}

}  // namespace arc::rar
