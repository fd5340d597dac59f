// SPDX-License-Identifier: MIT
#include "archivers/shared/source_files.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <set>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/file_patterns.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace arc {

namespace {
bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::string JoinFs(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// A pattern with "\" as a whole character read as "/", "." parts dropped.
std::string NormalizePattern(const std::string& cp932) {
  std::string s;
  for (std::size_t i = 0; i < cp932.size();) {
    std::size_t next = platform::NextCharPos(cp932, i);
    s += (next - i == 1 && cp932[i] == '\\') ? std::string("/") : cp932.substr(i, next - i);
    i = next;
  }
  while (s.size() >= 2 && s.compare(0, 2, "./") == 0) s.erase(0, 2);
  return s;
}

bool MaskMatches(const std::string& fsName, const std::string& maskCp932) {
  std::string cp;
  if (!platform::TryUtf8ToCp932AllowingTwins(fsName, cp)) cp = fsName;
  return platform::MatchesMask(cp, maskCp932);
}

std::vector<std::string> SortedNames(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

class Collector {
 public:
  Collector(const SourceSelection& sel, const std::string& archiveCp932) : sel_(sel) {
    base_ = sel.baseDir.empty() ? std::string() : platform::FsName(sel.baseDir);
    struct stat st{};
    if (stat(platform::FsName(archiveCp932).c_str(), &st) == 0) {
      archiveDev_ = st.st_dev;
      archiveIno_ = st.st_ino;
      haveArchive_ = true;
    }
  }

  void AddPattern(const std::string& patternCp932) {
    std::string pattern = NormalizePattern(patternCp932);
    std::size_t slash = platform::LastByteCharPos(pattern, '/');
    std::string dirPart = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    bool absolute = !pattern.empty() && pattern[0] == '/';
    std::string fsDir = platform::FsName(dirPart);
    std::string diskDir = absolute ? fsDir : JoinFs(base_, fsDir);
    // What the stored names start with: the folders named by the pattern.
    std::string stored = fsDir;
    while (!stored.empty() && stored[0] == '/') stored.erase(0, 1);
    if (mask.empty()) mask.push_back('*');  // (assigning a literal trips a false -Wrestrict in GCC 12)
    if (HasWildcard(mask)) {
      Walk(diskDir, stored, mask, sel_.recurse);
      return;
    }
    std::string fsLeaf = platform::FsName(mask);
    std::string path = JoinFs(diskDir, fsLeaf);
    struct stat st{};
    if (stat(path.empty() ? "." : path.c_str(), &st) != 0)
      throw ArcError(ERROR_NOT_FIND_FILE, "file not found: " + patternCp932);
    if (S_ISDIR(st.st_mode)) {
      AddEntry(path, stored + fsLeaf, st, true);
      Walk(path, stored + fsLeaf + "/", "*", sel_.recurse);
    } else {
      AddEntry(path, stored + fsLeaf, st, false);
    }
  }

  std::vector<SourceFile> Take() { return std::move(out_); }

 private:
  void Walk(const std::string& diskDir, const std::string& stored, const std::string& mask, bool recurse) {
    std::vector<std::pair<std::string, std::string>> subfolders;
    for (const auto& name : SortedNames(diskDir)) {
      std::string path = JoinFs(diskDir, name);
      struct stat lst{}, st{};
      if (lstat(path.c_str(), &lst) != 0 || stat(path.c_str(), &st) != 0) continue;
      bool folder = S_ISDIR(st.st_mode);
      if (!folder && !S_ISREG(st.st_mode)) continue;
      if (!sel_.includeHidden && name[0] == '.') continue;
      bool matches = MaskMatches(name, mask);
      if (folder) {
        // Linked folders are not entered: they may lead in circles.
        if (S_ISLNK(lst.st_mode)) continue;
        if (matches || recurse) {
          if (matches && !recurse) AddEntry(path, stored + name, st, true);
          if (recurse) subfolders.emplace_back(path, stored + name);
        }
      } else if (matches) {
        AddEntry(path, stored + name, st, false);
      }
    }
    for (auto& [path, name] : subfolders) {
      struct stat st{};
      if (stat(path.c_str(), &st) != 0) continue;
      std::size_t before = out_.size();
      AddEntry(path, name, st, true);
      bool listed = out_.size() > before;
      Walk(path, name + "/", mask, true);
      // A folder holding nothing selected is only kept when it matched.
      if (listed && out_.size() == before + 1 && !MaskMatches(platform::ExtractFileName(name), mask)) {
        seen_.erase(out_.back().fsName);
        out_.pop_back();
      }
    }
  }

  void AddEntry(const std::string& path, std::string stored, const struct stat& st, bool folder) {
    if (folder && !sel_.folderEntries) return;
    if (haveArchive_ && st.st_dev == archiveDev_ && st.st_ino == archiveIno_) return;
    if (!sel_.keepFolders) {
      if (folder) return;
      std::size_t slash = stored.rfind('/');
      if (slash != std::string::npos) stored.erase(0, slash + 1);
    }
    while (!stored.empty() && stored.back() == '/') stored.pop_back();
    if (stored.empty()) return;
    // Matched as shown: a twin (〜 for ～) matches the CP932 pattern too.
    std::string cp;
    if (!platform::TryUtf8ToCp932AllowingTwins(stored, cp)) cp = stored;
    if (!sel_.exclude.empty() && !EntrySelected(cp, {}, sel_.exclude)) return;
    if (!seen_.insert(stored).second) return;
    SourceFile f;
    f.fsPath = path;
    f.fsName = stored;
    f.isFolder = folder;
    f.mtime = st.st_mtime;
    f.size = folder ? 0 : static_cast<std::uint64_t>(st.st_size);
    out_.push_back(std::move(f));
  }

  const SourceSelection& sel_;
  std::string base_;
  std::vector<SourceFile> out_;
  std::set<std::string> seen_;
  bool haveArchive_ = false;
  dev_t archiveDev_ = 0;
  ino_t archiveIno_ = 0;
};
}  // namespace

std::vector<SourceFile> CollectSourceFiles(const SourceSelection& sel, const std::string& archiveCp932) {
  Collector c(sel, archiveCp932);
  if (sel.patterns.empty()) {
    c.AddPattern("*");
  } else {
    for (const auto& p : sel.patterns) c.AddPattern(p);
  }
  return c.Take();
}

bool StoredNameCp932(const std::string& fsName, std::string& cp932) {
  return platform::TryUtf8ToCp932(fsName, cp932);
}

}  // namespace arc

namespace arc {

std::string ReadSourceFile(const SourceFile& file, std::uint64_t maxSize) {
  std::optional<platform::InputFile> in;
  try {
    in.emplace(platform::FsPath{file.fsPath});
  } catch (const platform::Error&) {
    throw ArcError(ERROR_FILE_OPEN, "cannot open " + file.fsPath);
  }
  std::string data;
  char buf[1 << 16];
  for (;;) {
    std::size_t n = 0;
    try {
      n = in->Read(buf, sizeof buf);
    } catch (const platform::Error&) {
      throw ArcError(ERROR_CANNOT_READ, "cannot read " + file.fsPath);
    }
    if (n == 0) break;
    if (data.size() + n > maxSize) throw ArcError(ERROR_ADD_TO_LARGE, "file too large for the archive: " + file.fsPath);
    data.append(buf, n);
  }
  return data;
}

}  // namespace arc
