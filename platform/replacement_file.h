// SPDX-License-Identifier: MIT
#pragma once
// The one way a user's file is replaced: the new content goes to a temporary
// file beside the target, which takes the target's place (rename) only once
// complete and synced, with the target's permissions (and owner, where the
// process may give it). A failure part-way leaves the old file, or the
// absence of one, untouched, and no temporary file behind. Through a
// symbolic link the file it names is replaced, not the link.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/paths.h"

namespace platform {

class ReplacementFile {
 public:
  // Starts the replacement of `target` (CP932). Throws EInOutError when no
  // file can be made in the target's folder.
  explicit ReplacementFile(std::string_view target);
  // The same for a name exactly as the file system holds it.
  explicit ReplacementFile(const FsPath& target);
  ~ReplacementFile();  // removes the temporary file unless committed
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Appends all `size` bytes; throws EInOutError (a write that makes no
  // progress counts as a full disk).
  void Write(const void* data, std::size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Overwrites bytes already written.
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  std::uint64_t Size() const { return size_; }
  // Syncs, closes and renames over the target; throws EInOutError, after
  // which the target is as it was.
  void Commit();

 private:
  std::string path_;      // the target as given (CP932), for error texts
  std::string targetFs_;  // the file to replace (links resolved)
  std::string tempFs_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  bool committed_ = false;
};

// Moves the file `path` (CP932) to a new, unused name in its folder and
// returns that name (CP932), so it can be put back with RenameFile or
// deleted. Throws EInOutError.
std::string SetAside(std::string_view path);

// MoveFileEx with replacing: renames `from` to `to`, replacing `to`.
void RenameFile(std::string_view from, std::string_view to);

}  // namespace platform
