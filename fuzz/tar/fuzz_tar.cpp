// Opens the input as a TAR archive or a single compressed file (our format
// detection and gzip header reading, then libarchive) and reads every
// entry to the end.
// Damage must end in an ArcError, never in a crash, a hang or unbounded
// memory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "archivers/engine/archive_reader.h"

namespace {

// A forged size of gigabytes is cut off here the way a consumer with a
// size limit would.
constexpr std::size_t kMaxBytesPerEntry = 16u << 20;

std::string TempPath() {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/fuzz_tar_" + std::to_string(getpid()) + ".tgz";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = TempPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
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
