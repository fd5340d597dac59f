#include "archivers/shared/replacing_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "platform/paths.h"

namespace arc {

ReplacingFile::ReplacingFile(const std::string& target) : targetFs_(platform::FsName(target)) {
  std::size_t slash = targetFs_.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : targetFs_.substr(0, slash + 1);
  std::string pattern = dir + ".arc-new-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  fd_ = mkostemp(buf.data(), O_CLOEXEC);
  if (fd_ < 0) throw ArcError(ERROR_TMP_OPEN, "cannot create a temporary archive beside " + target);
  tempFs_ = buf.data();
  // The new archive keeps the old one's permissions; a new one gets the
  // usual ones for new files.
  struct stat st{};
  mode_t mode;
  if (stat(targetFs_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd_, mode);
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) close(fd_);
  if (!committed_ && !tempFs_.empty()) unlink(tempFs_.c_str());
}

void ReplacingFile::Write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw ArcError(errno == ENOSPC ? ERROR_DISK_SPACE : ERROR_CANNOT_WRITE, "cannot write the archive");
    p += n;
    size -= static_cast<std::size_t>(n);
    size_ += static_cast<std::uint64_t>(n);
  }
}

void ReplacingFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (pwrite(fd_, data, size, static_cast<off_t>(offset)) != static_cast<ssize_t>(size))
    throw ArcError(ERROR_CANNOT_WRITE, "cannot write the archive");
}

void ReplacingFile::CopyFrom(int fd, std::uint64_t offset, std::uint64_t size) {
  std::vector<char> buf(1 << 16);
  while (size > 0) {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, buf.size()));
    ssize_t n = pread(fd, buf.data(), want, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw ArcError(ERROR_CANNOT_READ, "cannot read the old archive");
    Write(buf.data(), static_cast<std::size_t>(n));
    offset += static_cast<std::uint64_t>(n);
    size -= static_cast<std::uint64_t>(n);
  }
}

void ReplacingFile::Commit() {
  if (fsync(fd_) != 0 || close(fd_) != 0) {
    fd_ = -1;
    throw ArcError(ERROR_CANNOT_WRITE, "cannot write the archive");
  }
  fd_ = -1;
  if (rename(tempFs_.c_str(), targetFs_.c_str()) != 0) throw ArcError(ERROR_CANNOT_WRITE, "cannot replace the archive");
  committed_ = true;
}

}  // namespace arc
