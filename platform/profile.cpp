#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/cp932.h"
#include "platform/ini_text.h"
#include "platform/input_file.h"
#include "platform/io_error.h"
#include "platform/paths.h"
#include "platform/replacement_file.h"

namespace platform {
namespace {

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
  if (!text.SetValue(section, key, value)) return false;
  try {
    ReplacementFile file(fileName);
    file.Write(text.Bytes());
    file.Commit();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

}  // namespace platform
