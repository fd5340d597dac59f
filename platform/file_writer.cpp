#include "platform/file_writer.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/io_error.h"
#include "platform/paths.h"

namespace platform {

FileWriter::FileWriter(std::string_view path) : path_(path) {
  fd_ = open(FsName(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd_ < 0) ThrowIoError(errno);
}

FileWriter::FileWriter(FileWriter&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) { other.fd_ = -1; }

FileWriter FileWriter::CreateBeside(std::string_view path) {
  std::string fsTemplate = FsName(ExtractFilePath(path)) + ".bmslist-XXXXXX";
  std::vector<char> buf(fsTemplate.begin(), fsTemplate.end());
  buf.push_back('\0');
  FileWriter w;
  w.fd_ = mkostemp(buf.data(), O_CLOEXEC);
  if (w.fd_ < 0) ThrowIoError(errno);
  // mkstemp makes the file private; give it the mode a created file gets.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(w.fd_, 0666 & ~mask);
  w.path_ = FromFsName(buf.data());
  return w;
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
  if (std::rename(FsName(from).c_str(), FsName(to).c_str()) != 0) ThrowIoError(errno);
}

}  // namespace platform
