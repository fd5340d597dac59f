// SPDX-License-Identifier: MIT
// Opens the input as a 7z archive and reads every entry to the end, then
// walks the headers alone. Damage, encryption and unsupported methods must
// end in an ArcError, never in a crash, a hang or unbounded memory.
#include <cstdint>
#include <string>
#include <vector>

#include "archivers/7z/7z_format.h"
#include "fuzz/reader_fuzzing.h"

// libarchive's 7z reader allocates each BCJ2 sub-stream buffer at the size
// the header claims (gigabytes in a forged one) before decoding into it;
// only what decodes is touched, which the RSS limit still bounds. The
// malloc limit, which defaults to the RSS limit, would stop every such
// input there, so it is raised for this target alone.
// A forged size beyond what malloc can give at all makes it answer null
// (which libarchive reports) rather than stop the process, as outside the
// sanitizer.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static std::vector<char*> args;
  static char limit[] = "-malloc_limit_mb=65536";
  args.assign(*argv, *argv + *argc);
  args.insert(args.begin() + 1, limit);
  args.push_back(nullptr);
  *argc += 1;
  *argv = args.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("7z");
  if (!fuzzing::WriteInput(path, data, size)) return 0;
  fuzzing::ReadEveryEntry(&arc::OpenSevenZipReader, path);
  fuzzing::WalkAndSkipEntries(&arc::OpenSevenZipReader, path);
  return 0;
}
