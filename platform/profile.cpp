// SPDX-License-Identifier: MIT
#include "platform/profile.h"

#ifndef _WIN32
#include <dirent.h>
#include <signal.h>
#endif

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/cp932.h"
#include "platform/ini_text.h"
#include "platform/input_file.h"
#include "platform/io_error.h"
#include "platform/paths.h"
#include "platform/replacement_file.h"

namespace platform {
namespace {

// Replacement files are named ".bmslist-PID-N.tmp" (replacement_file.cpp),
// so that a later start can tell those of a process that is gone.
constexpr char kTempPrefix[] = ".bmslist-";
constexpr char kTempSuffix[] = ".tmp";

bool ReadAll(std::string_view path, std::string& out) {
  try {
    InputFile in(path);
    char buf[65536];
    while (std::size_t n = in.Read(buf, sizeof buf)) out.append(buf, n);
    in.Close();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

// Cuts to at most `max` bytes without splitting a double-byte character.
std::string Truncate(std::string s, std::size_t max) {
  if (s.size() <= max) return s;
  std::size_t end = 0;
  while (end < s.size()) {
    std::size_t next = NextCharPos(s, end);
    if (next > max) break;
    end = next;
  }
  s.resize(end);
  return s;
}

// The read-only attribute: no write bit at all. It refuses root as well,
// which plain permission checks would not.
bool ReadOnly(const struct stat& st) { return (st.st_mode & 0222) == 0; }

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::string_view fileName, std::size_t bufferSize) {
  std::size_t max = bufferSize == 0 ? 0 : bufferSize - 1;
  std::string bytes;
  if (ReadAll(fileName, bytes)) {
    if (auto value = IniText(bytes).Value(section, key)) return Truncate(std::move(*value), max);
  }
  while (!defaultValue.empty() && (defaultValue.back() == ' ' || defaultValue.back() == '\t'))
    defaultValue.remove_suffix(1);
  return Truncate(std::string(defaultValue), max);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view fileName) {
  return WritePrivateProfileStrings({{std::string(section), std::string(key), std::string(value)}}, fileName);
}

bool WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries, std::string_view fileName) {
  std::string fs = FsName(fileName);
  struct stat st;
  bool exists = stat(fs.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return false;
  std::string old;
  std::string target = fs;
  if (exists) {
    if (!S_ISREG(st.st_mode) || ReadOnly(st) || access(fs.c_str(), W_OK) != 0) return false;
    if (!ReadAll(fileName, old)) return false;
    // Through a symbolic link the file it names is replaced, not the link.
    if (char* real = realpath(fs.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  std::size_t slash = target.find_last_of(kFsDelimiters);
  std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  // A read-only folder refuses root as well.
  struct stat dst;
  if (stat(dir.empty() ? "." : dir.c_str(), &dst) != 0 || !S_ISDIR(dst.st_mode) || ReadOnly(dst)) return false;

  IniText text(old);
  for (const ProfileEntry& e : entries)
    if (!text.SetValue(e.section, e.key, e.value)) return false;
  try {
    ReplacementFile file(fileName);
    file.Write(text.Bytes());
    file.Commit();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

void RemoveStaleProfileTemporaries(std::string_view dir) {
  RemoveStaleProfileTemporaries(FsPath{FsName(IncludeTrailingDelimiter(dir))});
}

void RemoveStaleProfileTemporaries(const FsPath& dir) {
#ifdef _WIN32
  (void)dir;  // not yet carried over: Windows has no kill(pid, 0)
#else
  std::string fsDir = dir.utf8;
  if (!fsDir.empty() && fsDir.back() != '/') fsDir += '/';
  std::unique_ptr<DIR, int (*)(DIR*)> d(opendir(fsDir.c_str()), closedir);
  if (!d) return;
  std::vector<std::string> stale;
  const std::string prefix = kTempPrefix, suffix = kTempSuffix;
  while (dirent* e = readdir(d.get())) {
    std::string n = e->d_name;
    if (n.size() <= prefix.size() + suffix.size() || n.compare(0, prefix.size(), prefix) != 0 ||
        n.compare(n.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    // ".bmslist-PID-N.tmp": a live process may be writing it right now.
    char* end = nullptr;
    long pid = std::strtol(n.c_str() + prefix.size(), &end, 10);
    if (pid <= 0 || !end || *end != '-') continue;
    if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    stale.push_back(fsDir + n);
  }
  for (const std::string& path : stale) unlink(path.c_str());
#endif
}

}  // namespace platform
