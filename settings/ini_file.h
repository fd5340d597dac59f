#pragma once
// The INI-file accessor bound to one path: every call goes straight to the
// file through the profile functions.
#include <string>
#include <string_view>

class TIniFile {
 public:
  explicit TIniFile(std::string path) : path_(std::move(path)) {}
  const std::string& FileName() const { return path_; }

  // With the 2048-character buffer of the profile call.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // Throws EIniWriteError when the write is refused.
  void WriteString(std::string_view section, std::string_view key, std::string_view value) const;

 private:
  std::string path_;
};
