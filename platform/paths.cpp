// SPDX-License-Identifier: MIT
#include "platform/paths.h"

#include <mutex>

#include "platform/cp932.h"
#include "platform/path_text.h"

namespace platform {

#ifdef _WIN32
// "after the last \ or :"
bool IsPathDelimiter(char c) { return c == '\\' || c == ':'; }
#else
bool IsPathDelimiter(char c) { return c == kPathDelimiter; }
#endif

std::size_t LastDelimiterPos(std::string_view path) {
  std::size_t found = std::string_view::npos;
  // A UTF-8 path's bytes are characters of their own ("\\" is never inside one).
  if (IsUtf8Path(path)) {
    for (std::size_t i = 1; i < path.size(); ++i)
      if (IsPathDelimiter(path[i])) found = i;
    return found;
  }
  for (std::size_t i = 0; i < path.size(); i = NextCharPos(path, i))
    if (IsPathDelimiter(path[i])) found = i;
  return found;
}

std::string ExtractFileName(std::string_view path) {
  std::size_t p = LastDelimiterPos(path);
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtractFilePath(std::string_view path) {
  std::size_t p = LastDelimiterPos(path);
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileExt(std::string_view path) {
  std::size_t slash = LastDelimiterPos(path);
  std::size_t dot = IsUtf8Path(path) ? path.rfind('.') : LastByteCharPos(path, '.');
  if (dot == std::string_view::npos) return {};
  if (slash != std::string_view::npos && dot < slash) return {};
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string e = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - e.size())) + std::string(ext);
}

bool EndsWithDelimiter(std::string_view path) {
  if (IsUtf8Path(path)) return path.size() > 1 && IsPathDelimiter(path.back());
  std::size_t p = LastCharPos(path);
  return p != std::string_view::npos && p == path.size() - 1 && IsPathDelimiter(path[p]);
}

std::string IncludeTrailingDelimiter(std::string_view path) {
  std::string r(path);
  if (!EndsWithDelimiter(r)) r += kPathDelimiter;
  return r;
}

namespace {
std::mutex g_exeMutex;
std::string g_exeDirOverride;
}  // namespace

std::string ExecutablePath() {
  std::lock_guard<std::mutex> lock(g_exeMutex);
  std::string real = RealExecutablePath();
  if (!g_exeDirOverride.empty()) return g_exeDirOverride + ExtractFileName(real);
  return real;
}

std::string ExecutableDir() { return ExtractFilePath(ExecutablePath()); }

void OverrideExecutableDirForTesting(std::string_view dir) {
  std::lock_guard<std::mutex> lock(g_exeMutex);
  g_exeDirOverride = dir.empty() ? std::string() : IncludeTrailingDelimiter(dir);
}

}  // namespace platform
