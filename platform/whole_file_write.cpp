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

void WriteInPlace(const std::string& fs, std::string_view path, std::string_view bytes) {
  // Non-blocking open: a FIFO without a reader fails instead of hanging.
  int fd = open(fs.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) ThrowIoErrorForPath(errno, path);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  int err = WriteAll(fd, bytes);
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
