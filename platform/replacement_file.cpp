// SPDX-License-Identifier: MIT
#include "platform/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/io_error.h"
#include "platform/paths.h"

namespace platform {
namespace {

std::string FolderOf(const std::string& fsPath) {
  std::size_t slash = fsPath.rfind('/');
  return slash == std::string::npos ? std::string() : fsPath.substr(0, slash + 1);
}

// A name for a temporary file in `dir` ("" or ending in a delimiter).
std::string TemporaryName(const std::string& dir) {
  static std::atomic<unsigned> counter{0};
  return dir + ".bmslist-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace

ReplacementFile::ReplacementFile(std::string_view target) : ReplacementFile(FsPath{FsName(target)}) {
  path_ = std::string(target);
}

ReplacementFile::ReplacementFile(const FsPath& target) : path_(FromFsName(target.utf8)), targetFs_(target.utf8) {
  if (char* real = realpath(targetFs_.c_str(), nullptr)) {
    targetFs_ = real;
    std::free(real);
  }
  std::string dir = FolderOf(targetFs_);
  for (int attempt = 0; fd_ < 0; ++attempt) {
    tempFs_ = TemporaryName(dir);
    // 0666 less the umask, as a plain create would make a new file; O_EXCL
    // never takes over a file that is already there.
    fd_ = open(tempFs_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd_ < 0 && (errno != EEXIST || attempt >= 100)) {
      int err = errno;
      tempFs_.clear();
      ThrowIoErrorForPath(err, path_);
    }
  }
}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) close(fd_);
  if (!committed_ && !tempFs_.empty()) unlink(tempFs_.c_str());
}

void ReplacementFile::Write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowIoError(errno);
    if (n == 0) ThrowIoError(ENOSPC);
    p += n;
    size -= static_cast<std::size_t>(n);
    size_ += static_cast<std::uint64_t>(n);
  }
}

void ReplacementFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  ssize_t n = pwrite(fd_, data, size, static_cast<std::int64_t>(offset));
  if (n < 0) ThrowIoError(errno);
  if (static_cast<std::size_t>(n) != size) ThrowIoError(ENOSPC);
}

void ReplacementFile::Commit() {
  int err = 0;
  struct stat old;
  if (stat(targetFs_.c_str(), &old) == 0) {
    if (fchmod(fd_, old.st_mode & 07777) != 0) err = errno;
    // Only root can give the file back to another owner; failing that, the
    // file stays ours, as a newly created one would be.
    if (err == 0 && (old.st_uid != geteuid() || old.st_gid != getegid()) && fchown(fd_, old.st_uid, old.st_gid) != 0) {
    }
  }
  if (err == 0 && fsync(fd_) != 0) err = errno;  // a full disk may only show here
  if (close(fd_) != 0 && err == 0 && errno != EINTR) err = errno;
  fd_ = -1;
  if (err == 0 && rename(tempFs_.c_str(), targetFs_.c_str()) != 0) err = errno;
  if (err != 0) ThrowIoErrorForPath(err, path_);
  committed_ = true;
}

std::string SetAside(std::string_view path) {
  std::string dir = ExtractFilePath(path);
  for (int attempt = 0;; ++attempt) {
    // An empty file claims the name (O_EXCL), then the file is renamed over
    // it: nothing that was there before is overwritten.
    std::string aside = TemporaryName(dir);
    std::string asideFs = FsName(aside);
    int fd = open(asideFs.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
      if (errno == EEXIST && attempt < 100) continue;
      ThrowIoErrorForPath(errno, path);
    }
    close(fd);
    if (rename(FsName(path).c_str(), asideFs.c_str()) != 0) {
      int err = errno;
      unlink(asideFs.c_str());
      ThrowIoErrorForPath(err, path);
    }
    return aside;
  }
}

void RenameFile(std::string_view from, std::string_view to) {
  if (std::rename(FsName(from).c_str(), FsName(to).c_str()) != 0) ThrowIoError(errno);
}

}  // namespace platform
