// SPDX-License-Identifier: MIT
#pragma once
// GetPrivateProfileStringA / WritePrivateProfileStringA: one key of an INI
// file read or written straight through to the file, nothing cached, no
// file kept open. Paths are CP932; section/key rules are those of IniText.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace platform {

// The key's value, or `defaultValue` (less its trailing blanks) when the
// file, section or key is missing or the file cannot be read. Like the
// Win32 call with a buffer of `bufferSize` characters, the result holds at
// most bufferSize - 1 bytes, never ending in half a double-byte character.
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::string_view fileName, std::size_t bufferSize = 2048);

// Sets the key, creating the file, section or key as needed and keeping the
// rest of the file. The file is replaced as a whole by a complete new copy
// (same permissions and owner), so a failed write leaves the old file as it
// was. False when the write is refused: a read-only file or folder (no
// write bit at all, which stops root too), a file that is no regular file,
// a failing write, or names or value holding a line break.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view fileName);

// Several keys set in the order given, with one replacement of the file:
// the bytes are those the same calls one by one would leave, and a refused
// write leaves the file as it was, none of the keys written.
struct ProfileEntry {
  std::string section, key, value;
};
bool WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries, std::string_view fileName);

// Removes from `dir` the temporary files of file replacements (settings
// writes among them) whose process has ended without finishing them
// (killed in the middle of a write).
void RemoveStaleProfileTemporaries(std::string_view dir);
// The same for a folder named as the file system holds it.
void RemoveStaleProfileTemporaries(const FsPath& dir);

}  // namespace platform
