// SPDX-License-Identifier: MIT
#pragma once
// Opening an archive file (or a volume of one) for a reader that reads it
// by descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "platform/paths.h"

namespace arc {

// The descriptor of `path` (CP932) opened for reading, and its size. Throws
// ERROR_ARC_FILE_OPEN when it cannot be opened or is no regular file: a
// FIFO or device would block the reader or never end.
inline int OpenForReading(const std::string& path, std::uint64_t& size) {
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  struct stat st{};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    throw ArcError(ERROR_ARC_FILE_OPEN, "not a file: " + path);
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

}  // namespace arc
