// SPDX-License-Identifier: MIT
#include "archivers/shared/replacing_file.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "platform/io_error.h"

namespace arc {
namespace {

[[noreturn]] void ThrowWriteError(const platform::EInOutError& e) {
  throw ArcError(e.Code() == platform::kIoDiskFull ? ERROR_DISK_SPACE : ERROR_CANNOT_WRITE,
                 std::string("cannot write the archive: ") + e.what());
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& target) {
  try {
    file_.emplace(target);
  } catch (const platform::EInOutError&) {
    throw ArcError(ERROR_TMP_OPEN, "cannot create a temporary archive beside " + target);
  }
}

void ReplacingFile::Write(const void* data, std::size_t size) {
  try {
    file_->Write(data, size);
  } catch (const platform::EInOutError& e) {
    ThrowWriteError(e);
  }
}

void ReplacingFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  try {
    file_->WriteAt(offset, data, size);
  } catch (const platform::EInOutError& e) {
    ThrowWriteError(e);
  }
}

void ReplacingFile::CopyFrom(int fd, std::uint64_t offset, std::uint64_t size) {
  std::vector<char> buf(1 << 16);
  while (size > 0) {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, buf.size()));
    ssize_t n = pread(fd, buf.data(), want, static_cast<std::int64_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw ArcError(ERROR_CANNOT_READ, "cannot read the old archive");
    Write(buf.data(), static_cast<std::size_t>(n));
    offset += static_cast<std::uint64_t>(n);
    size -= static_cast<std::uint64_t>(n);
  }
}

void ReplacingFile::Commit() {
  try {
    file_->Commit();
  } catch (const platform::EInOutError& e) {
    throw ArcError(ERROR_CANNOT_WRITE, std::string("cannot replace the archive: ") + e.what());
  }
}

}  // namespace arc
