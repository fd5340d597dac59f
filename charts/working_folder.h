// SPDX-License-Identifier: MIT
#pragma once
// The working folder every archive is unpacked into. Each running copy of
// the program (window or bmslist-cli) has one to itself, so that two copies
// never list or delete each other's files: the first copy claims "work" in
// platform::WorkParentDir() for as long as it runs; a copy started
// meanwhile works in a private folder "work-XXXXXX" beside it, removed when
// it ends. Private folders left by killed copies go at the next start.
#include <cstddef>
#include <string>
#include <vector>

// Unpacking form: ".../work", no trailing delimiter.
std::string WorkingFolderForUnpacking();
// Listing form: ".../work/".
std::string WorkingFolderForListing();

// Claims this copy's working folder, creating it when missing. Called again
// it keeps the claim, unless the program's folder has changed since (tests),
// when it claims anew. A failure is silent: archives then list nothing and
// say why.
void CreateWorkingFolder();
// Ends the claim; a private folder goes with everything in it.
void ReleaseWorkingFolder();
// True while this copy works in a private folder.
bool WorkingFolderIsPrivate();

// The second folder of this copy, for a drop that unpacks the next archive
// while the current one is listed: a private folder beside the first,
// claimed the same way on first use and removed with the claim. Unpacking
// form; "" when none can be had.
std::string SpareWorkingFolder();

// Deletes the files at the top of the working folder (not folders; dot
// files and names CP932 cannot hold included); a file that cannot be
// deleted stays, silently. Returns how many went. After a great many, the
// folder is made anew with whatever it still holds: ext4 keeps an emptied
// folder as slow to list as it was full.
std::size_t EmptyWorkingFolderTop();
// The same for either of this copy's folders (unpacking form); `refused`
// gets the names (file-system form) of files the system would not delete,
// read-only ones aside, which stay by rule.
std::size_t EmptyFolderTop(const std::string& folder, std::vector<std::string>* refused = nullptr);

// Swaps either of this copy's folders (unpacking form), which holds files
// that cannot be deleted, for a fresh private folder claimed the same way;
// the old one is let go (a private one removed as far as it can be).
// Returns the new folder, or `folder` when none can be had.
std::string ReplaceWorkingFolder(const std::string& folder);

// Claims the working folder for a program's run and ends the claim after.
class WorkingFolderClaim {
 public:
  WorkingFolderClaim() { CreateWorkingFolder(); }
  ~WorkingFolderClaim() { ReleaseWorkingFolder(); }
  WorkingFolderClaim(const WorkingFolderClaim&) = delete;
  WorkingFolderClaim& operator=(const WorkingFolderClaim&) = delete;
};
