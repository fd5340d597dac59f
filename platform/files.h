// SPDX-License-Identifier: MIT
#pragma once
// File-system services with the semantics of their Win32 counterparts, on
// CP932 paths.
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace platform {

// CreateDirectoryA: false when it exists already or cannot be made.
bool CreateDirectory(std::string_view path);
// Creates every missing folder of the path; true when it exists afterwards.
bool ForceDirectories(std::string_view path);
bool DeleteFile(std::string_view path);
// DeleteFile for a name the file system holds (UTF-8), in the folder `dir`
// (CP932); reaches files whose names CP932 cannot hold.
bool DeleteFsFile(std::string_view dir, std::string_view fsName);
bool FileExists(std::string_view path);
// Whether two paths as the file system holds them name one file, by its
// identity (device and inode; volume serial number and file index on
// Windows), links followed: two names, hard links and "./x" all count. False
// when either cannot be reached.
bool SameFile(const FsPath& a, const FsPath& b);       // a file, not a folder
bool DirectoryExists(std::string_view path);
bool SetCurrentDirectory(std::string_view path);
std::string GetCurrentDirectory();            // with trailing delimiter

struct FoundFile {
  std::string name;    // CP932, no folder; a twin (cp932.h) may stand for either form
  std::string fsName;  // the name as the file system holds it (UTF-8): open the file by this
  bool directory = false;
  bool hidden = false;  // name starts with "."
  bool link = false;    // a symbolic link (a junction on Windows): not followed into
};

// FindFirstFile/FindNextFile over one folder: every entry whose name matches
// the Windows mask (see MatchesMask), "." and ".." excluded, in the order the
// file system gives. Names CP932 cannot hold are left out rather than listed
// under a different name: `unlisted` receives the file-system names of such
// files (not folders). A name that differs from its CP932 form only by twins
// (cp932.h) is listed; its fsName is the way to reach it.
std::vector<FoundFile> FindFiles(std::string_view dir, std::string_view mask,
                                 std::vector<std::string>* unlisted = nullptr);
// The same in one pass for the entries matching any of `masks`;
// `unlistedFolders` receives the folders CP932 cannot name.
std::vector<FoundFile> FindFiles(std::string_view dir, const std::vector<std::string>& masks,
                                 std::vector<std::string>* unlisted = nullptr,
                                 std::vector<std::string>* unlistedFolders = nullptr);

// Windows wildcard matching: case-insensitive for ASCII letters, "*" any run,
// "?" one character, whole CP932 characters; "*.*" and "*" match every name,
// and "x.*" also matches "x".
bool MatchesMask(std::string_view name, std::string_view mask);
// The same for a UTF-8 name and mask ("?" is one character).
bool MatchesMaskUtf8(std::string_view name, std::string_view mask);
bool MatchesAnyMask(std::string_view name, const std::vector<std::string>& masks);

}  // namespace platform
