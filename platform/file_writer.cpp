// SPDX-License-Identifier: MIT
#include "platform/file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/io_error.h"
#include "platform/paths.h"

namespace platform {

FileWriter::FileWriter(std::string_view path) : path_(path) {
  fd_ = open(FsName(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd_ < 0) ThrowIoError(errno);
}

FileWriter::~FileWriter() {
  if (fd_ >= 0) close(fd_);
}

void FileWriter::Write(const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowIoError(errno);
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void FileWriter::Close() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 && errno != EINTR) ThrowIoError(errno);
}

}  // namespace platform
