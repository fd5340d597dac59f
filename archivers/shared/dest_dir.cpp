// SPDX-License-Identifier: MIT
#include "archivers/shared/dest_dir.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/statvfs.h>
#endif
#include <unistd.h>

#include <limits>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace arc {

namespace {
int WriteErrorCode(int err) { return err == ENOSPC || err == EDQUOT || err == EFBIG ? ERROR_DISK_SPACE : ERROR_CANNOT_WRITE; }
}  // namespace

OutFile::OutFile(int dirFd, int fd, std::string name) : dirFd_(dirFd), fd_(fd), name_(std::move(name)) {}

OutFile::OutFile(OutFile&& other) noexcept
    : dirFd_(other.dirFd_), fd_(other.fd_), name_(std::move(other.name_)), length_(other.length_),
      endsInHole_(other.endsInHole_) {
  other.fd_ = -1;
  other.dirFd_ = -1;
}

OutFile::~OutFile() {
  if (fd_ >= 0) {
    // Not committed: a half-written file would pass for a good one.
    close(fd_);
    unlinkat(dirFd_, name_.c_str(), 0);
  }
}

void OutFile::Write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(fd_, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ArcError(WriteErrorCode(errno), "cannot write " + name_);
    }
    p += n;
    size -= static_cast<std::size_t>(n);
    length_ += static_cast<std::uint64_t>(n);
  }
  endsInHole_ = false;
}

void OutFile::Skip(std::uint64_t length) {
  if (length == 0) return;
  if (length > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) - length_ ||
      lseek(fd_, static_cast<std::int64_t>(length), SEEK_CUR) < 0)
    throw ArcError(ERROR_DISK_SPACE, "file too large: " + name_);
  length_ += length;
  endsInHole_ = true;
}

void OutFile::Commit(std::time_t mtime) {
  // A seek alone does not lengthen a file.
  if (endsInHole_ && ftruncate(fd_, static_cast<std::int64_t>(length_)) != 0)
    throw ArcError(WriteErrorCode(errno), "cannot write " + name_);
  if (mtime != 0) {
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = mtime;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    futimens(fd_, times);
  }
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) {
    unlinkat(dirFd_, name_.c_str(), 0);
    throw ArcError(ERROR_CANNOT_WRITE, "cannot close " + name_);
  }
}

DestDir::DestDir(const std::string& cp932Path) {
  std::string path = cp932Path.empty() ? std::string(".") : cp932Path;
  platform::ForceDirectories(path);
  root_ = open(platform::FsName(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (root_ < 0) throw ArcError(ERROR_MAKEDIRECTORY, "cannot open folder " + path);
}

DestDir::~DestDir() {
  if (cachedFd_ >= 0) close(cachedFd_);
  if (root_ >= 0) close(root_);
}

int DestDir::Folder(const std::vector<std::string>& dirs, bool create) {
  if (dirs.empty()) return root_;
  if (cachedFd_ >= 0 && dirs == cachedDirs_) return cachedFd_;
  int cur = root_;
  for (const auto& d : dirs) {
    if (create && mkdirat(cur, d.c_str(), 0777) != 0 && errno != EEXIST) {
      int err = errno;
      if (cur != root_) close(cur);
      throw ArcError(err == ENOSPC ? ERROR_DISK_SPACE : ERROR_MAKEDIRECTORY, "cannot make folder " + d);
    }
    int next = openat(cur, d.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    int err = errno;
    if (cur != root_) close(cur);
    if (next < 0) {
      // ELOOP: a symbolic link stands where a folder should be.
      throw ArcError(err == ELOOP ? ERROR_UNSAFE_PATH : ERROR_MAKEDIRECTORY, "cannot enter folder " + d);
    }
    cur = next;
  }
  if (cachedFd_ >= 0) close(cachedFd_);
  cachedFd_ = cur;
  cachedDirs_ = dirs;
  return cur;
}

void DestDir::RemoveExisting(int dirFd, const std::string& leaf) {
  struct stat st{};
  if (fstatat(dirFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (S_ISDIR(st.st_mode)) throw ArcError(ERROR_FILE_OPEN, "a folder has the name of file " + leaf);
  if (unlinkat(dirFd, leaf.c_str(), 0) != 0) throw ArcError(ERROR_FILE_OPEN, "cannot replace " + leaf);
}

int DestDir::CreateExclusive(int dirFd, const std::string& leaf) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  // Usually the name is free: the first try is the only call. Something
  // in the way (an earlier entry of the same name, a link) is replaced.
  int fd = openat(dirFd, leaf.c_str(), kFlags, 0666);
  if (fd < 0 && errno == EEXIST) {
    RemoveExisting(dirFd, leaf);
    fd = openat(dirFd, leaf.c_str(), kFlags, 0666);
  }
  if (fd < 0) throw ArcError(errno == ENOSPC ? ERROR_DISK_SPACE : ERROR_FILE_OPEN, "cannot create " + leaf);
  return fd;
}

std::uint64_t DestDir::FreeSpace() const {
#ifdef _WIN32
  // No descriptor-based query there yet: unknown, so writing tells.
  return std::numeric_limits<std::uint64_t>::max();
#else
  struct statvfs st{};
  if (fstatvfs(root_, &st) != 0) return std::numeric_limits<std::uint64_t>::max();  // unknown: let writing tell
  return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
#endif
}

void DestDir::MakeFolder(const std::vector<std::string>& dirs) { Folder(dirs, true); }

OutFile DestDir::CreateFile(const std::vector<std::string>& dirs, const std::string& leaf) {
  int dir = Folder(dirs, true);
  return OutFile(dir, CreateExclusive(dir, leaf), leaf);
}

void DestDir::MakeSymlink(const std::vector<std::string>& dirs, const std::string& leaf, const std::string& target) {
  int dir = Folder(dirs, true);
  RemoveExisting(dir, leaf);
  if (symlinkat(target.c_str(), dir, leaf.c_str()) != 0) throw ArcError(ERROR_CANNOT_WRITE, "cannot make link " + leaf);
}

void DestDir::MakeHardlink(const std::vector<std::string>& dirs, const std::string& leaf,
                           const std::vector<std::string>& targetDirs, const std::string& targetLeaf) {
  int tdir = fcntl(Folder(targetDirs, false), F_DUPFD_CLOEXEC, 0);
  if (tdir < 0) throw ArcError(ERROR_CANNOT_WRITE, "cannot link " + leaf);
  try {
    int dir = Folder(dirs, true);
    RemoveExisting(dir, leaf);
    // No AT_SYMLINK_FOLLOW: a link to a symbolic link stays a link to it.
    if (linkat(tdir, targetLeaf.c_str(), dir, leaf.c_str(), 0) != 0) throw ArcError(ERROR_CANNOT_WRITE, "cannot link " + leaf);
  } catch (...) {
    close(tdir);
    throw;
  }
  close(tdir);
}

}  // namespace arc
