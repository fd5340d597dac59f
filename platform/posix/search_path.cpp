// SPDX-License-Identifier: MIT
#include "platform/search_path.h"

#include <cstdlib>

#include "platform/files.h"
#include "platform/paths.h"

namespace platform {

namespace {
std::string FoundIn(const std::string& dir, std::string_view name) {
  if (dir.empty()) return {};
  std::string full = ExpandFileName(IncludeTrailingDelimiter(dir) + std::string(name));
  return FileExists(full) ? full : std::string();
}
}  // namespace

std::string SearchPath(std::string_view name) {
  if (name.empty()) return {};
  if (LastDelimiterPos(name) != std::string_view::npos) {
    std::string full = ExpandFileName(name);
    return FileExists(full) ? full : std::string();
  }
  for (const std::string& dir : {ExecutableDir(), GetCurrentDirectory()})
    if (std::string f = FoundIn(dir, name); !f.empty()) return f;
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "";
  while (!rest.empty()) {
    std::size_t colon = rest.find(':');
    std::string dir = FromFsName(rest.substr(0, colon));
    if (std::string f = FoundIn(dir, name); !f.empty()) return f;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return {};
}

}  // namespace platform
