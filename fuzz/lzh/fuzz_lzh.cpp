// Opens the input as an LZH archive through liblhasa and reads every entry
// to the end; the same bytes also go through the header walk that archive
// updates use. Damage must end in an ArcError, never in a crash, a hang or
// unbounded memory.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "archivers/engine/archive_reader.h"
#include "archivers/engine/lzh_archive_scan.h"

namespace {

// A forged size of gigabytes is cut off here the way a consumer with a
// size limit would.
constexpr std::size_t kMaxBytesPerEntry = 16u << 20;

std::string TempPath() {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/fuzz_lzh_" + std::to_string(getpid()) + ".lzh";
}

void ReadEverything(const std::string& path) {
  try {
    auto reader = arc::OpenLzhReader(path);
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
  static const std::string path = TempPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  ReadEverything(path);
  ScanHeaders(path, size);
  return 0;
}
