// SPDX-License-Identifier: MIT
#pragma once
// A file opened for reading in blocks; errors throw EInOutError.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/paths.h"

namespace platform {

class InputFile {
 public:
  // Opens `path` (CP932) for reading. Only regular files can be read: a
  // FIFO, device or folder gives an error instead of blocking or never ending.
  explicit InputFile(std::string_view path);
  // The same for a name exactly as the file system holds it.
  explicit InputFile(const FsPath& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Reads up to `size` bytes; 0 at the end of the file.
  std::size_t Read(char* buffer, std::size_t size);
  // Closes now; a failing close throws like a failing read.
  void Close();

 private:
  int fd_ = -1;
};

// The length of the regular file at `path` (CP932); nullopt when there is
// none there: a missing name, a folder, a FIFO or a device.
std::optional<std::uint64_t> RegularFileSize(std::string_view path);

}  // namespace platform
