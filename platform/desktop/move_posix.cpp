// SPDX-License-Identifier: MIT
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/desktop/file_actions.h"

namespace platform {

MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to, std::string& error) {
  // renameat2's RENAME_NOREPLACE decides atomically whether the name is free.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return MoveResult::kMoved;
  int err = errno;
  if (err == EINVAL || err == ENOSYS) {
    // A file system without it: a hard link fails on an existing name too.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return MoveResult::kMoved;
    }
    err = errno;
  }
  if (err == EEXIST) return MoveResult::kTargetExists;
  error = std::strerror(err);
  return MoveResult::kFailed;
}

}  // namespace platform
