// SPDX-License-Identifier: MIT
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


  // Writes all `size` bytes or throws.
  void Write(const char* data, std::size_t size);
  // Closes now; a failing close throws like a failing write.
  void Close();
  // The file's name (CP932).
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace platform
