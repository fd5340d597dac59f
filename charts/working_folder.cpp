// SPDX-License-Identifier: MIT
#include "charts/working_folder.h"

#include <mutex>
#include <optional>

#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/folder_tree.h"
#include "platform/paths.h"

namespace {

constexpr char kSharedName[] = "work";
constexpr char kPrivatePrefix[] = "work-";
constexpr std::size_t kPrivateNameSize = sizeof kPrivatePrefix - 1 + 6;  // mkdtemp's six characters
// Emptying this many files leaves an ext4 folder measurably slow to list.
constexpr std::size_t kRenewAfterFiles = 10000;

struct Claim {
  std::string parent;  // the folder it was claimed in
  std::string path;    // unpacking form
  std::optional<platform::FolderLock> lock;
  bool isPrivate = false;
};

Claim& Current() {
  static Claim claim;
  return claim;
}

Claim& Spare() {
  static Claim claim;
  return claim;
}

// Folders are renewed on the unpacking threads and replaced on the calling
// one.
std::mutex& ClaimsMutex() {
  static std::mutex mutex;
  return mutex;
}

void Release(Claim& c) {
  if (c.isPrivate && c.lock && c.lock->Names(c.path)) platform::RemoveFolderTree(c.path);
  c = Claim{};
}

bool IsPrivateFolderName(const std::string& name) {
  return name.size() == kPrivateNameSize && name.compare(0, sizeof kPrivatePrefix - 1, kPrivatePrefix) == 0;
}

// Private folders whose copy has ended without removing them (killed): no
// one holds them any more.
void RemoveAbandonedFolders(const std::string& parent) {
  for (const auto& f : platform::FindFiles(parent, "work-*")) {
    if (!f.directory || !IsPrivateFolderName(f.name)) continue;
    std::string path = parent + f.name;
    if (auto lock = platform::FolderLock::TryLock(path)) platform::RemoveFolderTree(path);
  }
}

bool ClaimShared(Claim& c) {
  const std::string path = c.parent + kSharedName;
  // A folder renamed or renewed under our hands fails the claim; try again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    platform::CreateDirectory(path);
    if (!platform::DirectoryExists(path)) return false;
    if (auto lock = platform::FolderLock::TryLock(path)) {
      c.path = path;
      c.lock = std::move(lock);
      return true;
    }
  }
  return false;
}

bool ClaimPrivate(Claim& c) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string path = platform::CreateUniqueFolder(c.parent, kPrivatePrefix);
    if (path.empty()) return false;
    // Another copy clearing abandoned folders may have taken it already.
    if (auto lock = platform::FolderLock::TryLock(path)) {
      c.path = path;
      c.lock = std::move(lock);
      c.isPrivate = true;
      return true;
    }
  }
  return false;
}

// Swaps in a fresh folder under the same name, holding what the old one
// still holds; the new folder is claimed before it takes the name, so the
// name is never unclaimed.
void Renew(Claim& c) {
  if (!c.lock) return;
  std::string fresh = platform::CreateUniqueFolder(c.parent, kPrivatePrefix);
  if (fresh.empty()) return;
  auto lock = platform::FolderLock::TryLock(fresh);
  if (lock && platform::MoveFolderEntries(c.path, fresh) && platform::ReplaceEmptyFolder(fresh, c.path)) {
    c.lock = std::move(lock);
    return;
  }
  platform::MoveFolderEntries(fresh, c.path);
  platform::RemoveFolderTree(fresh);
}

}  // namespace

std::string WorkingFolderForUnpacking() {
  const Claim& c = Current();
  return c.path.empty() ? platform::WorkParentDir() + kSharedName : c.path;
}

std::string WorkingFolderForListing() { return WorkingFolderForUnpacking() + platform::kPathDelimiter; }

void CreateWorkingFolder() {
  Claim& c = Current();
  const std::string parent = platform::WorkParentDir();
  if (c.lock && c.parent == parent && c.lock->Names(c.path)) return;
  ReleaseWorkingFolder();
  c.parent = parent;
  // Beside the executable the parent exists; the XDG cache folder may not.
  if (!platform::DirectoryExists(parent)) platform::ForceDirectories(parent);
  RemoveAbandonedFolders(parent);
  if (!ClaimShared(c) && !ClaimPrivate(c)) c.path = parent + kSharedName;
}

void ReleaseWorkingFolder() {
  Release(Spare());
  Release(Current());
}

bool WorkingFolderIsPrivate() { return Current().isPrivate; }

std::string SpareWorkingFolder() {
  const Claim& first = Current();
  if (!first.lock) return {};  // the first folder is not this copy's own
  Claim& spare = Spare();
  if (spare.lock && spare.parent == first.parent && spare.lock->Names(spare.path)) return spare.path;
  Release(spare);
  spare.parent = first.parent;
  if (!ClaimPrivate(spare)) spare = Claim{};
  return spare.path;
}

std::size_t EmptyWorkingFolderTop() { return EmptyFolderTop(WorkingFolderForUnpacking()); }

std::size_t EmptyFolderTop(const std::string& folder, std::vector<std::string>* refused) {
  // Every file an archive put at the top goes, dot files included (macOS
  // archives carry "._name" files).
  std::size_t removed = platform::DeleteFilesAtTop(folder, refused);
  if (removed >= kRenewAfterFiles) {
    std::lock_guard<std::mutex> lock(ClaimsMutex());
    if (Current().path == folder) Renew(Current());
    else if (Spare().path == folder) Renew(Spare());
  }
  return removed;
}

std::string ReplaceWorkingFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(ClaimsMutex());
  Claim& c = Spare().path == folder ? Spare() : Current();
  if (folder != (c.path.empty() ? WorkingFolderForUnpacking() : c.path)) return folder;
  Claim fresh;
  fresh.parent = c.parent.empty() ? platform::WorkParentDir() : c.parent;
  if (!ClaimPrivate(fresh)) return folder;
  Release(c);
  c = std::move(fresh);
  return c.path;
}
