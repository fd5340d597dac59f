// SPDX-License-Identifier: MIT
#pragma once
// A new archive written beside the one it replaces, through the platform's
// ReplacementFile: an operation that fails part-way leaves the old archive,
// or the absence of one, untouched. Failures come as the libraries' result
// codes.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/replacement_file.h"

namespace arc {

class ReplacingFile {
 public:
  // `target` is the archive's CP932 path. Throws ArcError(ERROR_TMP_OPEN)
  // when no file can be made in its folder.
  explicit ReplacingFile(const std::string& target);
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Throws ArcError(ERROR_DISK_SPACE or ERROR_CANNOT_WRITE).
  void Write(const void* data, std::size_t size);
  void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
  // Copies `size` bytes from offset `offset` of the open file `fd`.
  // Throws ArcError(ERROR_CANNOT_READ) when they cannot be read.
  void CopyFrom(int fd, std::uint64_t offset, std::uint64_t size);
  // Overwrites bytes already written.
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  std::uint64_t Size() const { return file_->Size(); }
  // Syncs and renames over the target. Throws ArcError(ERROR_CANNOT_WRITE).
  void Commit();

 private:
  std::optional<platform::ReplacementFile> file_;
};

}  // namespace arc
