// SPDX-License-Identifier: MIT
#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/cp932.h"
#include "platform/paths.h"

namespace platform {

bool CreateDirectory(std::string_view path) { return mkdir(FsName(path).c_str(), 0777) == 0; }

bool ForceDirectories(std::string_view path) {
  std::string p(path);
  while (p.size() > 1 && EndsWithDelimiter(p)) p.pop_back();
  if (p.empty() || DirectoryExists(p)) return !p.empty();
  std::string parent = ExtractFilePath(p);
  if (!parent.empty() && parent != p) ForceDirectories(parent);
  return CreateDirectory(p) || DirectoryExists(p);
}

bool SameFile(const FsPath& a, const FsPath& b) {
  struct stat sa, sb;
  return stat(a.utf8.c_str(), &sa) == 0 && stat(b.utf8.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool DeleteFile(std::string_view path) {
  struct stat st;
  std::string fs = FsName(path);
  if (lstat(fs.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  // A read-only file cannot be deleted on Windows; keep that rule.
  if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) return false;
  return unlink(fs.c_str()) == 0;
}

bool DeleteFsFile(std::string_view dir, std::string_view fsName) {
  std::string full = FsName(IncludeTrailingDelimiter(dir)) + std::string(fsName);
  struct stat st;
  if (lstat(full.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) return false;
  return unlink(full.c_str()) == 0;
}

bool FileExists(std::string_view path) {
  struct stat st;
  return stat(FsName(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  struct stat st;
  return stat(FsName(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SetCurrentDirectory(std::string_view path) { return chdir(FsName(path).c_str()) == 0; }

std::string GetCurrentDirectory() {
  char buf[PATH_MAX];
  if (!getcwd(buf, sizeof buf)) return {};
  return IncludeTrailingDelimiter(FromFsName(buf));
}

std::vector<FoundFile> FindFiles(std::string_view dir, const std::vector<std::string>& masks,
                                 std::vector<std::string>* unlisted, std::vector<std::string>* unlistedFolders) {
  std::vector<FoundFile> out;
  if (unlisted) unlisted->clear();
  if (unlistedFolders) unlistedFolders->clear();
  std::string fsDir = FsName(dir.empty() ? std::string_view(".") : dir);
  DIR* d = opendir(fsDir.c_str());
  if (!d) return out;
  while (dirent* e = readdir(d)) {
    std::string fsName = e->d_name;
    if (fsName == "." || fsName == "..") continue;
    FoundFile f;
    f.fsName = fsName;
    struct stat st;
    std::string full = fsDir + "/" + fsName;
    if (!TryUtf8ToCp932AllowingTwins(fsName, f.name)) {
      // ASCII masks match the UTF-8 name as well as its CP932 form would.
      if ((unlisted || unlistedFolders) && MatchesAnyMask(fsName, masks) && lstat(full.c_str(), &st) == 0) {
        std::vector<std::string>* into = S_ISDIR(st.st_mode) ? unlistedFolders : unlisted;
        if (into) into->push_back(fsName);
      }
      continue;
    }
    if (!MatchesAnyMask(f.name, masks)) continue;
    if (lstat(full.c_str(), &st) != 0) continue;
    f.directory = S_ISDIR(st.st_mode);
    f.link = S_ISLNK(st.st_mode);
    f.hidden = fsName[0] == '.';
    out.push_back(std::move(f));
  }
  closedir(d);
  return out;
}

}  // namespace platform
