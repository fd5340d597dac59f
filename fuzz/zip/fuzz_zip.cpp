// SPDX-License-Identifier: MIT
// Opens the input as a ZIP archive (libarchive's seekable reader plus our
// own reading of the central directory) and reads every entry to the end;
// then the same through the reader of the memory entries.
// Damage must end in an ArcError, never in a crash, a hang or unbounded
// memory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "fuzz/reader_fuzzing.h"
#include "archivers/zip/zip_format.h"

namespace {
// The reader of the memory entries, every entry chosen.
std::unique_ptr<arc::ArchiveReader> OpenForMemory(const std::string& path) {
  static const arc::EntrySelection everything({"*"}, {});
  return arc::OpenZipMemoryReader(path, everything);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("zip");
  fuzzing::ReadInEveryWay(&arc::OpenZipReader, path, data, size);
  fuzzing::ReadInEveryWay(&OpenForMemory, path, data, size);
  return 0;
}
