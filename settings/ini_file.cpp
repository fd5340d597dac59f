// SPDX-License-Identifier: MIT
#include "settings/ini_file.h"

#include "platform/profile.h"
#include "settings/ini_write_error.h"

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  return platform::GetPrivateProfileString(section, key, defaultValue, path_, 2048);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
  if (!platform::WritePrivateProfileString(section, key, value, path_)) throw EIniWriteError(path_);
}

void TIniFile::WriteStrings(const std::vector<platform::ProfileEntry>& entries) const {
  if (entries.empty()) return;
  if (!platform::WritePrivateProfileStrings(entries, path_)) throw EIniWriteError(path_);
}
