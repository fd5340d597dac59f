// Opens the input as a 7z archive and reads every entry to the end, then
// walks the headers alone. Damage, encryption and unsupported methods must
// end in an ArcError, never in a crash, a hang or unbounded memory.
#include <cstdint>
#include <string>

#include "archivers/7z/7z_format.h"
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("7z");
  if (!fuzzing::WriteInput(path, data, size)) return 0;
  fuzzing::ReadEveryEntry(&arc::OpenSevenZipReader, path);
  fuzzing::WalkAndSkipEntries(&arc::OpenSevenZipReader, path);
  return 0;
}
