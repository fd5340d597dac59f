#pragma once
// A new archive written beside the one it replaces (a temporary file in the
// same folder) and renamed over it only once complete: an operation that
// fails part-way leaves the old archive, or the absence of one, untouched.
#include <cstdint>
#include <string>

namespace arc {

class ReplacingFile {
 public:
  // `target` is the archive's CP932 path. Throws ArcError(ERROR_TMP_OPEN)
  // when no file can be made in its folder.
  explicit ReplacingFile(const std::string& target);
  ~ReplacingFile();  // removes the temporary file unless committed
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
  std::uint64_t Size() const { return size_; }
  // Flushes and renames over the target. Throws ArcError(ERROR_CANNOT_WRITE).
  void Commit();

 private:
  std::string targetFs_;
  std::string tempFs_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  bool committed_ = false;
};

}  // namespace arc
