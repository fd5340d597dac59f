// SPDX-License-Identifier: MIT
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
#include "platform/replacement_file.h"

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

int PwriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<std::int64_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

bool ReadWhole(int fd, std::size_t size, std::string& out) {
  out.resize(size);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = pread(fd, out.data() + done, size - done, static_cast<std::int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// For a file whose folder takes no new file: written over its old content,
// which must survive any failure. The room the new content needs is claimed
// before a byte is changed, the old bytes are kept to be written back should
// a write still fail, and the length changes only once all is written.
void WriteInPlace(const std::string& fs, std::string_view path, std::string_view bytes) {
  // Non-blocking open: a FIFO without a reader fails instead of hanging.
  int fd = open(fs.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  bool readable = fd >= 0;
  if (fd < 0 && errno == EACCES) fd = open(fs.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) ThrowIoErrorForPath(errno, path);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // A device or FIFO has no old content to keep.
    int err = WriteAll(fd, bytes);
    if (close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
    if (err != 0) ThrowIoError(err);
    return;
  }
  const std::size_t oldSize = static_cast<std::size_t>(st.st_size);
  std::string old;
  bool keep = readable && ReadWhole(fd, oldSize, old);
  int err = 0;
#ifdef FALLOC_FL_KEEP_SIZE
  if (bytes.size() > oldSize && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    err = errno;  // no room: nothing has been touched yet
#endif
  bool touched = false;
  if (err == 0) {
    touched = true;
    err = PwriteAll(fd, bytes);
  }
  if (err == 0 && bytes.size() < oldSize && ftruncate(fd, static_cast<std::int64_t>(bytes.size())) != 0) err = errno;
  if (err == 0 && fsync(fd) != 0) err = errno;  // a full disk may only show here
  if (err != 0 && touched && keep) {
    // The old bytes go back where they were; they had room there before.
    if (PwriteAll(fd, old) == 0 && ftruncate(fd, static_cast<std::int64_t>(oldSize)) == 0) fsync(fd);
  }
  if (close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
  if (err != 0) ThrowIoError(err);
}

// Whether a new file can be made in `dir` (CP932, "" for the current folder).
bool CanCreateIn(const std::string& dir) {
  std::string fs = FsName(dir.empty() ? std::string(".") : dir);
  return access(fs.c_str(), W_OK | X_OK) == 0;
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
  if (exists) {
    if (S_ISDIR(st.st_mode)) ThrowIoError(EISDIR);
    if (!S_ISREG(st.st_mode)) return WriteInPlace(fs, path, bytes);
    if (access(fs.c_str(), W_OK) != 0) ThrowIoErrorForPath(errno, path);
    // access() lets root write anything; the read-only attribute is the
    // absence of every write bit, and it refuses root too.
    if ((st.st_mode & 0222) == 0) ThrowIoError(EACCES);
  }
  try {
    ReplacementFile file(fsPath);
    file.Write(bytes);
    file.Commit();
  } catch (const EInOutError& e) {
    // A folder that takes no new files still lets an existing file change.
    if (exists && e.Code() == kIoAccessDenied && !CanCreateIn(ExtractFilePath(path)))
      return WriteInPlace(fs, path, bytes);
    throw;
  }
}

}  // namespace platform
