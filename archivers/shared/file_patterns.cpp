#include "archivers/shared/file_patterns.h"

#include "archivers/lzh/lzh_header_name.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace arc {

bool PatternMatches(const std::string& displayName, const std::string& pattern) {
  std::string p = SlashesForBackslashes(pattern);
  while (!p.empty() && p[0] == '/') p.erase(0, 1);
  if (p.empty()) return false;
  if (p.back() == '/') p += '*';  // a folder: everything below it
  if (platform::LastDelimiterPos(p) == std::string::npos)
    return platform::MatchesMask(platform::ExtractFileName(displayName), p);
  return platform::MatchesMask(displayName, p);
}

bool EntrySelected(const std::string& displayName, const std::vector<std::string>& include,
                   const std::vector<std::string>& exclude) {
  for (const auto& e : exclude)
    if (PatternMatches(displayName, e)) return false;
  if (include.empty()) return true;
  for (const auto& i : include)
    if (PatternMatches(displayName, i)) return true;
  return false;
}

}  // namespace arc
