// SPDX-License-Identifier: MIT
#pragma once
// What the list's actions do to a user's files: install unpacked songs,
// rename and remove archives, open a chart with another program. Paths are
// the file system's form (UTF-8). Nothing here ever replaces a file that
// exists or deletes one for good: removal goes to the desktop's trash.
#include <string>
#include <vector>

namespace platform {

// The regular files under `dir` at any depth, as paths relative to it with
// "/" between folders, sorted; links and special files are passed over.
std::vector<std::string> FilesUnder(const std::string& dir);
// The folders directly in `dir`, and whether anything else is there.
struct FolderTop {
  std::vector<std::string> folders;
  bool otherEntries = false;
};
FolderTop ReadFolderTop(const std::string& dir);

// Makes the folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& dir);
// True when both files hold the same bytes.
bool SameContent(const std::string& a, const std::string& b);
bool PathExists(const std::string& path);

enum class MoveResult { kMoved, kTargetExists, kFailed };
// Renames `from` to `to` on one file system, never replacing what is at
// `to`; `error` says why it failed.
MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to, std::string& error);

// Moves the file or folder to the desktop's trash (the freedesktop trash,
// the Recycle Bin), from where the user can take it back; `error` says why
// it could not.
bool MoveToTrash(const std::string& path, std::string& error);

// Starts `command` with every "%f" replaced by `file` (quoted as one word),
// or with `file` appended when it has no "%f", without waiting for it.
bool StartProgram(const std::string& command, const std::string& file, std::string& error);

}  // namespace platform
