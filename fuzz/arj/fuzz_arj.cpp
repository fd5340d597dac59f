// SPDX-License-Identifier: MIT
// Opens the input as an ARJ archive and reads every entry to the end.
// Damage must end in an ArcError, never in a crash, a hang or unbounded
// memory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/reader_fuzzing.h"
#include "archivers/arj/arj_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("arj");
  fuzzing::ReadInEveryWay(&arc::OpenArjReader, path, data, size);
  return 0;
}
