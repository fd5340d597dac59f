// SPDX-License-Identifier: MIT
#include "platform/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/io_error.h"
#include "platform/paths.h"

namespace platform {

std::optional<std::uint64_t> RegularFileSize(std::string_view path) {
  struct stat st;
  if (stat(FsName(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

InputFile::InputFile(std::string_view path) : InputFile(FsPath{FsName(path)}) {}

InputFile::InputFile(const FsPath& path) {
  int fd = open(path.utf8.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) ThrowIoErrorForPath(errno, FromFsName(path.utf8));
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int err = errno;
    close(fd);
    ThrowIoError(err);
  }
  if (!S_ISREG(st.st_mode)) {
    close(fd);
    // Windows refuses to open a folder as a file with "access denied"; the
    // other non-files get the same answer.
    ThrowIoError(S_ISDIR(st.st_mode) ? EISDIR : EACCES);
  }
  fd_ = fd;
}

InputFile::~InputFile() {
  if (fd_ >= 0) close(fd_);
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = read(fd_, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) ThrowIoError(errno);
  }
}

void InputFile::Close() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 && errno != EINTR) ThrowIoError(errno);
}

}  // namespace platform
