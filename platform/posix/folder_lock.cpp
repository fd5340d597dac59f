// SPDX-License-Identifier: MIT
#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/paths.h"

namespace platform {

std::optional<FolderLock> FolderLock::TryLock(std::string_view path) {
  int fd = open(FsName(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  int r;
  do {
    r = flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  FolderLock lock(fd);
  if (r != 0 || !lock.Names(path)) return std::nullopt;
  return lock;
}

FolderLock::FolderLock(FolderLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);  // closing the last descriptor ends the claim
}

bool FolderLock::Names(std::string_view path) const {
  struct stat held, named;
  if (fd_ < 0 || fstat(fd_, &held) != 0 || lstat(FsName(path).c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace platform
