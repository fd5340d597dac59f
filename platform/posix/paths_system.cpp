// SPDX-License-Identifier: MIT
// Paths that depend on the system: the current folder, file-system names,
// the executable's location and where the settings and the working folder
// live.
#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/paths.h"

namespace platform {

std::string AbsolutePath(std::string_view path) {
  const std::string_view bare = WithoutUtf8Mark(path);
  if (bare.empty() || IsPathDelimiter(bare[0])) return std::string(path);
  char buf[PATH_MAX];
  if (!getcwd(buf, sizeof buf)) return std::string(path);
  // Either form may hold the other: the whole takes the form that holds it.
  if (!IsUtf8Path(path) && !IsUtf8Path(PathFromUtf8(buf))) return IncludeTrailingDelimiter(FromFsName(buf)) + std::string(path);
  return PathFromUtf8(IncludeTrailingDelimiter(buf) + PathUtf8(path));
}

std::string ExpandFileName(std::string_view given) {
  // A UTF-8 path is resolved the same way, "/" being a byte of its own in both.
  const bool utf8 = IsUtf8Path(given);
  const std::string_view path = WithoutUtf8Mark(given);
  std::string full;
  if (!path.empty() && IsPathDelimiter(path[0])) {
    full = std::string(path);
  } else {
    char buf[PATH_MAX];
    std::string cwd = getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
    if (!utf8 && IsUtf8Path(PathFromUtf8(cwd))) return ExpandFileName(PathFromUtf8(cwd + "/" + Cp932ToUtf8(path)));
    full = IncludeTrailingDelimiter(utf8 ? cwd : FromFsName(cwd)) + std::string(path);
  }
  // Resolve "." and ".." textually, keeping a trailing delimiter.
  bool trailing = utf8 ? !full.empty() && full.back() == kPathDelimiter : EndsWithDelimiter(full);
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i <= full.size()) {
    std::size_t j = full.find(kPathDelimiter, i);
    if (j == std::string::npos) j = full.size();
    std::string part = full.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out = utf8 ? std::string(1, kUtf8PathMark) : std::string();
  for (auto& p : parts) out += kPathDelimiter + p;
  if (parts.empty()) out += kPathDelimiter;
  else if (trailing) out += kPathDelimiter;
  return out;
}

namespace {

bool Exists(const std::string& fs) {
  struct stat st;
  return lstat(fs.empty() ? "." : fs.c_str(), &st) == 0;
}

// The entry of folder `fsDir` whose CP932 form is `cp932Part` (a twin of
// the usual form); empty when there is none.
std::string TwinEntry(const std::string& fsDir, std::string_view cp932Part) {
  DIR* d = opendir(fsDir.empty() ? "." : fsDir.c_str());
  if (!d) return {};
  std::string found, cp932;
  while (dirent* e = readdir(d)) {
    if (TryUtf8ToCp932AllowingTwins(e->d_name, cp932) && cp932 == cp932Part) {
      found = e->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

}  // namespace

std::string FsName(std::string_view cp932Path) {
  if (IsUtf8Path(cp932Path)) return std::string(cp932Path.substr(1));
  std::string usual = Cp932ToUtf8(cp932Path);
  if (!HasTwinCharacter(cp932Path) || Exists(usual)) return usual;
  // Part by part: each part with a twin takes the form that exists. "/" is
  // never a trail byte, so the split is safe on bytes.
  std::string fs;
  std::size_t i = 0;
  while (i <= cp932Path.size()) {
    std::size_t j = cp932Path.find(kPathDelimiter, i);
    if (j == std::string_view::npos) j = cp932Path.size();
    std::string_view part = cp932Path.substr(i, j - i);
    std::string name = Cp932ToUtf8(part);
    if (HasTwinCharacter(part) && !Exists(fs + name)) {
      std::string twin = TwinEntry(fs, part);
      if (!twin.empty()) name = twin;
    }
    fs += name;
    if (j < cp932Path.size()) fs += '/';
    i = j + 1;
  }
  return fs;
}
// A name CP932 cannot hold comes back as the marked UTF-8 path, never with "?".
std::string FromFsName(std::string_view fsPath) { return PathFromUtf8(fsPath); }

std::string RealExecutablePath() {
  std::vector<char> buf(PATH_MAX + 1);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  return PathFromUtf8(std::string_view(buf.data(), static_cast<std::size_t>(n)));
}

namespace {

std::string EnvDir(const char* var, const char* fallbackUnderHome) {
  const char* v = std::getenv(var);
  if (v && *v == '/') return IncludeTrailingDelimiter(PathFromUtf8(v));
  const char* home = std::getenv("HOME");
  return IncludeTrailingDelimiter(PathFromUtf8(home && *home ? home : "/tmp")) + fallbackUnderHome;
}

// Beside the executable only in a folder that is the program's own: an
// installed copy's bin/ is shared with other programs (and writable to root,
// whose files there no package removal would ever take away).
bool KeepsFilesBesideExecutable() {
  struct stat st;
  if (stat(FsName(InstalledLibraryDir()).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
  return access(FsName(ExecutableDir()).c_str(), W_OK) == 0;
}
}  // namespace

std::string InstalledLibraryDir() { return ExpandFileName(ExecutableDir() + "../lib/bmslist/"); }

std::string SettingsDir() {
  if (KeepsFilesBesideExecutable()) return ExecutableDir();
  return EnvDir("XDG_CONFIG_HOME", ".config/") + "bmslist/";
}

std::string WorkParentDir() {
  // The archiver libraries get the working folder as a quoted word of their
  // command line, which cannot hold a double quote: beside a program whose
  // folder has one, every archive would fail, so the cache folder serves.
  if (KeepsFilesBesideExecutable() && ExecutableDir().find('"') == std::string::npos) return ExecutableDir();
  return EnvDir("XDG_CACHE_HOME", ".cache/") + "bmslist/";
}

std::string DataDir() {
  if (KeepsFilesBesideExecutable()) return ExecutableDir();
  return EnvDir("XDG_DATA_HOME", ".local/share/") + "bmslist/";
}

}  // namespace platform
