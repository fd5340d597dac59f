// SPDX-License-Identifier: MIT
// Walks the input as RAR 5 block headers: forged sizes and truncated
// records must end the walk, never read out of bounds or allocate without
// limit.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "archivers/rar/rar5_scan.h"
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("rar5");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  // Most inputs get the signature, so the walk itself is what is explored.
  if (size < 8 || std::string(reinterpret_cast<const char*>(data), 4) != "Rar!")
    std::fwrite("Rar!\x1A\x07\x01\x00", 1, 8, f);
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  arc::ScanRar5(path);
  return 0;
}
