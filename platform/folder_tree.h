// SPDX-License-Identifier: MIT
#pragma once
// Whole folders: made under a fresh name, emptied into another folder,
// swapped in for an empty one, removed with everything inside. Paths are
// CP932; none of these follows a symbolic link out of the folder.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Makes a new folder `parent` + `prefix` + six random characters; returns
// its path, or "" when none can be made.
std::string CreateUniqueFolder(std::string_view parent, std::string_view prefix);

// Removes the folder and everything in it (links are removed, never
// followed; read-only entries too). True when it is gone afterwards.
bool RemoveFolderTree(std::string_view path);

// Moves every entry of `from` (hidden ones too) into the folder `to`, which
// lies on the same file system. False at the first entry that cannot move.
bool MoveFolderEntries(std::string_view from, std::string_view to);

// Renames the folder `from` to `to`, which must be an empty folder or
// missing; the name never stands without a folder meanwhile.
bool ReplaceEmptyFolder(std::string_view from, std::string_view to);

// Deletes every file at the top of the folder (not folders; dot files and
// names CP932 cannot hold included), as DeleteFile would one by one: a
// read-only file stays. Returns how many went. `refused` gets the names (as
// the file system holds them) of the other files that stay: the system
// refused to delete them (an immutable file, a folder that takes no
// change, a file in use on Windows).
std::size_t DeleteFilesAtTop(std::string_view dir, std::vector<std::string>* refused = nullptr);

// Whether a new file can be made in the folder now: tried with a file made
// and deleted at once, since permissions alone do not tell (root, read-only
// mounts, immutable folders).
bool FolderTakesNewFiles(std::string_view dir);

// True when anything but a folder lies at the top of the folder.
bool FolderTopHoldsFiles(std::string_view dir);

}  // namespace platform
