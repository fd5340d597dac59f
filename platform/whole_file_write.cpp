#include "platform/whole_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/io_error.h"
#include "platform/paths.h"

namespace platform {
namespace {

// Writes everything or returns the errno of the failure; a write that
// makes no progress counts as a full disk.
int WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return 0;
}

void WriteInPlace(const std::string& fs, std::string_view path, std::string_view bytes) {
  // Non-blocking open: a FIFO without a reader fails instead of hanging.
  int fd = open(fs.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) ThrowIoErrorForPath(errno, path);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  int err = WriteAll(fd, bytes);
  if (close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
  if (err != 0) ThrowIoError(err);
}

// Creates a new file beside `target` with the default permissions (0666
// less the umask), like a plain create would; returns the fd or -errno.
int CreateTemporary(const std::string& dir, std::string& tempName) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempName = dir + ".bmslist-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    int fd = open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd >= 0 ? fd : -errno;
  }
  return -EEXIST;
}

}  // namespace

void WriteWholeFile(std::string_view path, std::string_view bytes) { WriteWholeFile(FsPath{FsName(path)}, bytes); }

void WriteWholeFile(const FsPath& fsPath, std::string_view bytes) {
  const std::string& fs = fsPath.utf8;
  // Errors are told apart by the CP932 path (a missing folder or file).
  const std::string path = FromFsName(fs);
  struct stat st;
  bool exists = stat(fs.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) ThrowIoErrorForPath(errno, path);
  std::string target = fs;
  if (exists) {
    if (S_ISDIR(st.st_mode)) ThrowIoError(EISDIR);
    if (!S_ISREG(st.st_mode)) return WriteInPlace(fs, path, bytes);
    if (access(fs.c_str(), W_OK) != 0) ThrowIoErrorForPath(errno, path);
    // access() lets root write anything; the read-only attribute is the
    // absence of every write bit, and it refuses root too.
    if ((st.st_mode & 0222) == 0) ThrowIoError(EACCES);
    // Through a symbolic link the file it names is replaced, not the link.
    if (char* real = realpath(fs.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  std::size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);

  std::string temp;
  int fd = CreateTemporary(dir, temp);
  if (fd < 0) {
    int err = -fd;
    if (exists && (err == EACCES || err == EPERM)) return WriteInPlace(fs, path, bytes);
    ThrowIoErrorForPath(err, path);
  }
  int err = WriteAll(fd, bytes);
  if (err == 0 && exists) {
    if (fchmod(fd, st.st_mode & 07777) != 0) err = errno;
    // Only root can hand the file back to its owner; others own it already.
    if (err == 0 && (st.st_uid != geteuid() || st.st_gid != getegid()) && fchown(fd, st.st_uid, st.st_gid) != 0) {
      // Not root: the file stays ours, as a newly created one would be.
    }
  }
  if (err == 0 && fsync(fd) != 0) err = errno;  // a full disk may only show here
  if (close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
  if (err == 0 && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(temp.c_str());
    ThrowIoErrorForPath(err, path);
  }
}

}  // namespace platform
