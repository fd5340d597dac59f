// SPDX-License-Identifier: MIT
#include "archives/join_path.h"

#include "platform/paths.h"

std::string JoinPath(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  return platform::IncludeTrailingDelimiter(dir) + std::string(name);
}
