// SPDX-License-Identifier: MIT
// Reads the input's ZIP central directory and decides every entry's name.
// Forged counts, sizes, offsets and ZIP64 fields must end in an ArcError,
// never in a read out of bounds or an allocation beyond the file's size.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "archivers/shared/archive_reader.h"
#include "archivers/zip/zip_directory.h"
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzzing::TempPath("zipdir");
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 0;
  if (write(fd, data, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return 0;
  }
  try {
    arc::ZipDirectory dir = arc::ReadZipDirectory(fd, size);
    for (const auto& e : dir.entries) {
      if (e.localOffset >= dir.directoryOffset) std::abort();
      arc::DecideZipName(e);
    }
  } catch (const arc::ArcError&) {
  }
  close(fd);
  return 0;
}
