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

#include "archivers/engine/archive_reader.h"

namespace {

// A forged size of gigabytes is cut off here the way a consumer with a
// size limit would.
constexpr std::size_t kMaxBytesPerEntry = 16u << 20;

std::string TempPath() {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/fuzz_rar_" + std::to_string(getpid()) + ".rar";
}

std::uint32_t Le(const std::uint8_t* p, int n) {
  std::uint32_t v = 0;
  for (int i = n; i-- > 0;) v = v << 8 | p[i];
  return v;
}

// Every RAR 4 header carries a CRC, so nearly every mutation would stop at
// the first check. Inputs of even length get their header CRCs recomputed,
// which lets the fuzzer reach the fields and the decoders behind them; odd
// lengths keep the CRC checks themselves in play.
void RepairHeaderCrcs(std::vector<std::uint8_t>& a) {
  if (a.size() % 2 != 0 || a.size() < 7 || std::memcmp(a.data(), "Rar!\x1A\x07\x00", 7) != 0) return;
  std::size_t pos = 7;
  while (pos + 7 <= a.size()) {
    std::size_t size = Le(&a[pos + 5], 2);
    if (size < 7 || pos + size > a.size()) return;
    std::uint32_t crc = crc32(0, &a[pos + 2], static_cast<uInt>(size - 2));
    a[pos] = static_cast<std::uint8_t>(crc);
    a[pos + 1] = static_cast<std::uint8_t>(crc >> 8);
    std::uint64_t dataSize = (Le(&a[pos + 3], 2) & 0x8000) && size >= 11 ? Le(&a[pos + 7], 4) : 0;
    pos += size + dataSize;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = TempPath();
  std::vector<std::uint8_t> bytes(data, data + size);
  RepairHeaderCrcs(bytes);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  try {
    auto reader = arc::OpenRarReader(path);
    arc::EntryInfo info;
    while (reader->Next(info)) {
      std::size_t total = 0;
      try {
        reader->ReadData([&](const void*, std::size_t n) {
          total += n;
          return total < kMaxBytesPerEntry;
        });
      } catch (const arc::ArcError&) {
        // a damaged entry; the next header may still be sound
      }
    }
  } catch (const arc::ArcError&) {
  }
  return 0;
}
