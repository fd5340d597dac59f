// Opens the input as a TAR archive or a single compressed file (our format
// detection and gzip header reading, then libarchive) and reads every
// entry to the end.
// Damage must end in an ArcError, never in a crash, a hang or unbounded
// memory.
#include <unistd.h>

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
  return std::string(dir) + "/fuzz_tar_" + std::to_string(getpid()) + ".tgz";
}

// Every tar header carries a checksum, so nearly every mutation of a plain
// tar would stop there. Inputs of even length get the checksum of each
// 512-byte block that looks like a header recomputed; odd lengths keep the
// check itself in play. Compressed inputs are left as they are.
void RepairHeaderChecksums(std::vector<std::uint8_t>& a) {
  if (a.size() % 2 != 0) return;
  for (std::size_t pos = 0; pos + 512 <= a.size(); pos += 512) {
    std::uint8_t* h = &a[pos];
    if (std::memcmp(h + 257, "ustar", 5) != 0) continue;
    unsigned sum = 0;
    for (std::size_t i = 0; i < 512; ++i) sum += i >= 148 && i < 156 ? ' ' : h[i];
    std::snprintf(reinterpret_cast<char*>(h + 148), 8, "%06o", sum & 0777777);
    h[155] = ' ';
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = TempPath();
  std::vector<std::uint8_t> bytes(data, data + size);
  RepairHeaderChecksums(bytes);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  try {
    auto reader = arc::OpenTarReader(path);
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
