// SPDX-License-Identifier: MIT
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

#include "fuzz/reader_fuzzing.h"
#include "archivers/tar/tar_format.h"

namespace {

// Every tar header carries a checksum, so nearly every mutation of a plain
// tar would stop there. Inputs of even length get the checksum of each
// 512-byte block that looks like a header recomputed; odd lengths keep the
// check itself in play. Compressed inputs are left as they are.
std::vector<std::uint8_t> WithHeaderChecksumsRepaired(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> a(data, data + size);
  if (a.size() % 2 != 0) return a;
  for (std::size_t pos = 0; pos + 512 <= a.size(); pos += 512) {
    std::uint8_t* h = &a[pos];
    if (std::memcmp(h + 257, "ustar", 5) != 0) continue;
    unsigned sum = 0;
    for (std::size_t i = 0; i < 512; ++i) sum += i >= 148 && i < 156 ? ' ' : h[i];
    std::snprintf(reinterpret_cast<char*>(h + 148), 8, "%06o", sum & 0777777);
    h[155] = ' ';
  }
  return a;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("tar");
  std::vector<std::uint8_t> bytes = WithHeaderChecksumsRepaired(data, size);
  fuzzing::ReadInEveryWay(&arc::OpenTarReader, path, bytes.data(), bytes.size());
  return 0;
}
