// SPDX-License-Identifier: MIT
#pragma once
// The files a creating command takes from disk: patterns relative to the
// base folder, matched the Windows way, optionally through subfolders.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace arc {

struct SourceSelection {
  std::string baseDir;                // CP932; empty: the current folder
  std::vector<std::string> patterns;  // CP932; empty means "*"
  std::vector<std::string> exclude;   // CP932 patterns against the stored name
  bool recurse = false;               // patterns also apply in every subfolder
  bool keepFolders = true;            // store the folders below the base
  bool folderEntries = false;         // list folders as entries of their own
  bool includeHidden = true;          // names starting with "." when matched by a wildcard
};

struct SourceFile {
  std::string fsPath;   // where to read it (file-system name)
  std::string fsName;   // the name to store: UTF-8, "/" between folders
  bool isFolder = false;
  std::time_t mtime = 0;
  std::uint64_t size = 0;
};

// In a stable order (each folder's names sorted, a folder before its
// contents), every stored name once. The archive being written
// (`archiveCp932`, when it exists) is never taken into itself. Throws
// ArcError(ERROR_NOT_FIND_FILE) when a name without wildcards names nothing.
std::vector<SourceFile> CollectSourceFiles(const SourceSelection& sel, const std::string& archiveCp932);

// The stored name as CP932; false when CP932 cannot hold it.
bool StoredNameCp932(const std::string& fsName, std::string& cp932);

}  // namespace arc

namespace arc {

// The whole content of a regular file. Throws ArcError(ERROR_FILE_OPEN)
// when it cannot be opened, ERROR_CANNOT_READ when reading fails, and
// ERROR_ADD_TO_LARGE beyond `maxSize`.
std::string ReadSourceFile(const SourceFile& file, std::uint64_t maxSize);

}  // namespace arc
