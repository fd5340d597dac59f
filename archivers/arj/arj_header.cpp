// SPDX-License-Identifier: MIT
#include "archivers/arj/arj_header.h"

#include <cstring>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/le_bytes.h"

namespace arc::arj {

namespace {
// Up to and including the file access mode; the chapter bytes that newer
// versions add after it are not needed here.
constexpr std::size_t kMinFirstSize = 28;

// A zero-terminated string starting at pos; pos moves past the terminator.
std::string TakeString(const std::uint8_t* data, std::size_t size, std::size_t& pos) {
  const void* end = std::memchr(data + pos, 0, size - pos);
  if (!end) throw ArcError(ERROR_HEADER_BROKEN, "ARJ header string is not terminated");
  std::size_t len = static_cast<const std::uint8_t*>(end) - (data + pos);
  std::string s(reinterpret_cast<const char*>(data + pos), len);
  pos += len + 1;
  return s;
}
}  // namespace

Header ParseBasicHeader(const std::uint8_t* data, std::size_t size) {
  if (size < kMinFirstSize || data[0] < kMinFirstSize || data[0] > size) {
    throw ArcError(ERROR_HEADER_BROKEN, "ARJ header too short");
  }
  Header h;
  h.firstSize = data[0];
  h.version = data[1];
  h.minVersion = data[2];
  h.hostOs = data[3];
  h.flags = data[4];
  h.method = data[5];
  h.fileType = data[6];
  h.time = Le32(data + 8);
  h.compressedSize = Le32(data + 12);
  h.originalSize = Le32(data + 16);
  h.crc = Le32(data + 20);
  h.accessMode = static_cast<std::uint16_t>(data[26] | data[27] << 8);
  std::size_t pos = h.firstSize;
  h.name = TakeString(data, size, pos);
  h.comment = TakeString(data, size, pos);
  return h;
}

}  // namespace arc::arj
