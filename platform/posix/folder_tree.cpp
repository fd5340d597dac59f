// SPDX-License-Identifier: MIT
#include "platform/folder_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"

namespace platform {
namespace {

std::vector<std::string> EntryNames(const std::string& fsDir) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(fsDir.c_str()), closedir);
  if (!dir) return names;
  while (dirent* e = readdir(dir.get())) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(std::move(n));
  }
  return names;
}

// Depth first, through file descriptors so that a folder swapped for a link
// meanwhile is not followed.
bool RemoveEntries(int dirFd) {
  int dupFd = dup(dirFd);
  if (dupFd < 0) return false;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(dupFd), closedir);
  if (!dir) {
    close(dupFd);
    return false;
  }
  std::vector<std::string> names;
  while (dirent* e = readdir(dir.get())) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(std::move(n));
  }
  bool ok = true;
  for (const std::string& n : names) {
    struct stat st;
    if (fstatat(dirFd, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      // A folder without write or search permission could not be emptied.
      if ((st.st_mode & 0700) != 0700) fchmodat(dirFd, n.c_str(), st.st_mode | 0700, 0);
      int sub = openat(dirFd, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub >= 0) {
        RemoveEntries(sub);
        close(sub);
      }
      ok = unlinkat(dirFd, n.c_str(), AT_REMOVEDIR) == 0 && ok;
    } else {
      ok = unlinkat(dirFd, n.c_str(), 0) == 0 && ok;
    }
  }
  return ok;
}

}  // namespace

std::string CreateUniqueFolder(std::string_view parent, std::string_view prefix) {
  std::string pattern = FsName(IncludeTrailingDelimiter(parent)) + FsName(prefix) + "XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) return {};
  return FromFsName(buf.data());
}

bool RemoveFolderTree(std::string_view path) {
  std::string fs = FsName(path);
  struct stat st;
  if (lstat(fs.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return unlink(fs.c_str()) == 0;
  if ((st.st_mode & 0700) != 0700) chmod(fs.c_str(), st.st_mode | 0700);
  int fd = open(fs.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    RemoveEntries(fd);
    close(fd);
  }
  return rmdir(fs.c_str()) == 0 || errno == ENOENT;
}

bool MoveFolderEntries(std::string_view from, std::string_view to) {
  std::string src = FsName(IncludeTrailingDelimiter(from)), dst = FsName(IncludeTrailingDelimiter(to));
  for (const std::string& n : EntryNames(src))
    if (std::rename((src + n).c_str(), (dst + n).c_str()) != 0) return false;
  return true;
}

bool ReplaceEmptyFolder(std::string_view from, std::string_view to) {
  return std::rename(FsName(from).c_str(), FsName(to).c_str()) == 0;
}

// One open folder and the entries' types from readdir: no path is resolved
// again per file, and only regular files are looked at (for the read-only
// rule), through the folder's descriptor.
std::size_t DeleteFilesAtTop(std::string_view dir, std::vector<std::string>* refused) {
  int fd = open(FsName(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  std::vector<std::pair<std::string, unsigned char>> entries;
  {
    int dupFd = dup(fd);
    std::unique_ptr<DIR, int (*)(DIR*)> d(dupFd >= 0 ? fdopendir(dupFd) : nullptr, closedir);
    if (!d && dupFd >= 0) close(dupFd);
    // Collected first: deleting while reading may make readdir skip entries.
    while (d) {
      dirent* e = readdir(d.get());
      if (!e) break;
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0 || e->d_type == DT_DIR) continue;
      entries.emplace_back(e->d_name, e->d_type);
    }
  }
  std::size_t removed = 0;
  for (const auto& [name, type] : entries) {
    if (type != DT_LNK) {
      struct stat st;
      if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)) continue;
      // A read-only file cannot be deleted on Windows; keep that rule.
      if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) continue;
    }
    if (unlinkat(fd, name.c_str(), 0) == 0)
      ++removed;
    else if (refused && errno != ENOENT)
      refused->push_back(name);
  }
  close(fd);
  return removed;
}

bool FolderTakesNewFiles(std::string_view dir) {
  int fd = open(FsName(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const std::string probe = ".bmslist-probe-" + std::to_string(getpid());
  int file = openat(fd, probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  const bool made = file >= 0;
  if (made) {
    close(file);
    unlinkat(fd, probe.c_str(), 0);
  }
  close(fd);
  return made;
}

bool FolderTopHoldsFiles(std::string_view dir) {
  std::unique_ptr<DIR, int (*)(DIR*)> d(opendir(FsName(dir).c_str()), closedir);
  if (!d) return false;
  while (dirent* e = readdir(d.get())) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (e->d_type == DT_DIR) continue;
    if (e->d_type == DT_UNKNOWN) {
      struct stat st;
      if (fstatat(dirfd(d.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) continue;
    }
    return true;
  }
  return false;
}

}  // namespace platform
