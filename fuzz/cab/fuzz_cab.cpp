// SPDX-License-Identifier: MIT
// Opens the input as a cabinet (libmspack over our own I/O layer, which
// streams each entry into a sink) and reads every entry to the end.
// Damage must end in an ArcError, never in a crash, a hang or unbounded
// memory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/reader_fuzzing.h"
#include "archivers/cab/cab_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("cab");
  if (!fuzzing::WriteInput(path, data, size)) return 0;
  fuzzing::ReadEveryEntry(&arc::OpenCabReader, path);
  return 0;
}
