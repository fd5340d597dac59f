// SPDX-License-Identifier: MIT
// Opens the input as a RAR archive and reads every entry to the end: RAR
// 1.5-4.x through our header parsing and libunarr, RAR 5 through our header
// walk and libarchive. Damage must end in an ArcError, never in a crash, a
// hang or unbounded memory.
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/reader_fuzzing.h"
#include "archivers/rar/rar_format.h"

namespace {

// Every RAR 4 header carries a CRC, so nearly every mutation would stop at
// the first check. Inputs of even length get their header CRCs recomputed,
// which lets the fuzzer reach the fields and the decoders behind them; odd
// lengths keep the CRC checks themselves in play.
std::vector<std::uint8_t> WithHeaderCrcsRepaired(const std::uint8_t* data, std::size_t length) {
  std::vector<std::uint8_t> a(data, data + length);
  if (a.size() % 2 != 0 || a.size() < 7 || std::memcmp(a.data(), "Rar!\x1A\x07\x00", 7) != 0) return a;
  std::size_t pos = 7;
  while (pos + 7 <= a.size()) {
    std::size_t size = fuzzing::Le(&a[pos + 5], 2);
    if (size < 7 || pos + size > a.size()) return a;
    std::uint32_t crc = crc32(0, &a[pos + 2], static_cast<uInt>(size - 2));
    a[pos] = static_cast<std::uint8_t>(crc);
    a[pos + 1] = static_cast<std::uint8_t>(crc >> 8);
    std::uint64_t dataSize = (fuzzing::Le(&a[pos + 3], 2) & 0x8000) && size >= 11 ? fuzzing::Le(&a[pos + 7], 4) : 0;
    pos += size + dataSize;
  }
  return a;
}

}  // namespace

// libarchive's RAR 5 reader asks for SIZE_MAX bytes when a block header runs
// past its entry's data, and copes with the allocation failing: the
// sanitizer is told to fail it as malloc does rather than stop there.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("rar");
  std::vector<std::uint8_t> bytes = WithHeaderCrcsRepaired(data, size);
  fuzzing::ReadInEveryWay(&arc::OpenRarReader, path, bytes.data(), bytes.size());
  return 0;
}
