// SPDX-License-Identifier: MIT
#pragma once
// An exclusive, advisory claim on a folder, held for as long as the object
// lives: running copies of the program use it to tell which of them owns a
// working folder. The claim dies with the process, so a killed copy never
// leaves a folder claimed for ever.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class FolderLock {
 public:
  // Claims the folder `path` (CP932). Nothing when it is missing, when
  // another holder has it, or when the name was moved to another folder
  // while it was being claimed (the claim would then guard the wrong one).
  static std::optional<FolderLock> TryLock(std::string_view path);

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  // True while `path` still names the claimed folder.
  bool Names(std::string_view path) const;

 private:
  explicit FolderLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace platform
