// SPDX-License-Identifier: MIT
// Opens the input as an LZH archive through liblhasa and reads every entry
// to the end; the same bytes also go through the header walk that archive
// updates use. Damage must end in an ArcError, never in a crash, a hang or
// unbounded memory.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archivers/lzh/crc16.h"
#include "archivers/lzh/lzh_archive_scan.h"
#include "fuzz/reader_fuzzing.h"
#include "archivers/lzh/lzh_format.h"

namespace {

// Where an extension chain starting with the size field (of `field` bytes)
// at `at` carries a common header (type 0), its CRC16 is recomputed over
// [start, end): the chain's end, or `end` when the header length is given.
void RepairHeaderCrc(std::vector<std::uint8_t>& a, std::size_t start, std::size_t at, std::size_t limit, std::size_t end,
                     int field = 2) {
  std::size_t crcAt = 0;
  for (std::size_t size; at + field <= limit; at += size) {
    size = fuzzing::Le(&a[at], field);
    if (size == 0) {
      if (end == 0) end = at + field;
      break;
    }
    if (size < static_cast<std::size_t>(field) + 1 || at + size > limit) return;
    if (a[at + field] == 0x00) crcAt = at + field + 1;
  }
  if (crcAt == 0 || end == 0 || crcAt + 2 > end) return;
  a[crcAt] = a[crcAt + 1] = 0;
  std::uint16_t crc = arc::Crc16Update(0, &a[start], end - start);
  a[crcAt] = static_cast<std::uint8_t>(crc);
  a[crcAt + 1] = static_cast<std::uint8_t>(crc >> 8);
}

// liblhasa checks every header's checksums (a byte sum at levels 0 and 1,
// a CRC16 in the common extension at levels 1 to 3), so nearly every
// mutation would stop there. Inputs of even length get them recomputed,
// which lets the fuzzer reach the fields behind them; odd lengths keep the
// checks themselves in play.
void RepairHeaderChecksums(std::vector<std::uint8_t>& a) {
  if (a.size() % 2 != 0) return;
  std::size_t pos = 0;
  while (pos + 22 <= a.size()) {
    int level = a[pos + 20];
    std::size_t headerLen = 0;
    if (level == 0 || level == 1) {
      headerLen = a[pos] + 2u;
      if (a[pos] == 0 || pos + headerLen > a.size()) return;
      std::uint8_t sum = 0;
      for (std::size_t i = pos + 2; i < pos + headerLen; ++i) sum = static_cast<std::uint8_t>(sum + a[i]);
      a[pos + 1] = sum;
      // Level 1 extensions follow the base header, counted in the packed size.
      if (level == 1) RepairHeaderCrc(a, pos, pos + headerLen - 2, a.size(), 0);
    } else if (level == 2) {
      headerLen = fuzzing::Le(&a[pos], 2);
      if (headerLen < 26 || pos + headerLen > a.size()) return;
      RepairHeaderCrc(a, pos, pos + 24, pos + headerLen, pos + headerLen);
    } else if (level == 3) {
      if (pos + 28 > a.size()) return;
      headerLen = fuzzing::Le(&a[pos + 24], 4);
      if (headerLen < 32 || headerLen > a.size() - pos) return;
      RepairHeaderCrc(a, pos, pos + 28, pos + headerLen, pos + headerLen, 4);
    } else {
      return;
    }
    pos += headerLen + fuzzing::Le(&a[pos + 7], 4);
  }
}

void ScanHeaders(const std::string& path, std::size_t size) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  try {
    arc::ScanLzhArchive(fd, size);
  } catch (const arc::ArcError&) {
  }
  close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("lzh");
  std::vector<std::uint8_t> bytes(data, data + size);
  RepairHeaderChecksums(bytes);
  if (!fuzzing::WriteInput(path, bytes.data(), bytes.size())) return 0;
  fuzzing::ReadEveryEntry(&arc::OpenLzhReader, path);
  ScanHeaders(path, size);
  return 0;
}
