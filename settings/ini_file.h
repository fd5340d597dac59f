// SPDX-License-Identifier: MIT
#pragma once
// The INI-file accessor bound to one path: every call goes straight to the
// file through the profile functions.
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

class TIniFile {
 public:
  explicit TIniFile(std::string path) : path_(std::move(path)) {}
  const std::string& FileName() const { return path_; }

  // With the 2048-character buffer of the profile call.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // Throws EIniWriteError when the write is refused.
  void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
  // Several keys in order, one write of the file; throws EIniWriteError
  // when refused, and then none of them is written.
  void WriteStrings(const std::vector<platform::ProfileEntry>& entries) const;

 private:
  std::string path_;
};
