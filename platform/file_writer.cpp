#include "platform/file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/io_error.h"
#include "platform/paths.h"

namespace platform {

FileWriter::FileWriter(std::string_view path) : path_(path) {
  fd_ = open(FsName(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd_ < 0) ThrowIoError(errno);
}

FileWriter::FileWriter(FileWriter&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) { other.fd_ = -1; }

FileWriter FileWriter::CreateBeside(std::string_view path) {
  static std::atomic<unsigned> counter{0};
  std::string dir = ExtractFilePath(path);
  FileWriter w;
  for (int attempt = 0;; ++attempt) {
    std::string name = dir + ".bmslist-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    // O_EXCL: never reuse a file that is already there.
    w.fd_ = open(FsName(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (w.fd_ >= 0) {
      w.path_ = name;
      return w;
    }
    if (errno != EEXIST || attempt > 1000) ThrowIoError(errno);
  }
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

void ReplaceFile(std::string_view from, std::string_view to) {
  if (rename(FsName(from).c_str(), FsName(to).c_str()) != 0) ThrowIoError(errno);
}

}  // namespace platform
