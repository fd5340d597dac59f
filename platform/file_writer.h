#pragma once
// A file created for writing: an existing file of that name is replaced. Errors throw EInOutError.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class FileWriter {
 public:
  // Creates `path` (CP932) empty, replacing any file of that name.
  explicit FileWriter(std::string_view path);
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Creates a new, uniquely named empty file in the folder of `path`, for
  // writing a replacement that is moved over `path` once it is complete.
  static FileWriter CreateBeside(std::string_view path);
  FileWriter(FileWriter&& other) noexcept;

  // Writes all `size` bytes or throws.
  void Write(const char* data, std::size_t size);
  // Closes now; a failing close throws like a failing write.
  void Close();
  // The file's name (CP932).
  const std::string& Path() const { return path_; }

 private:
  FileWriter() = default;
  int fd_ = -1;
  std::string path_;
};

// MoveFileEx with replacing: renames `from` to `to`, replacing `to`.
void ReplaceFile(std::string_view from, std::string_view to);

}  // namespace platform
