// SPDX-License-Identifier: MIT
// Windows wildcard matching (files.h), the same on every system.
#include "platform/cp932.h"
#include "platform/files.h"

namespace platform {

namespace {
bool MatchFrom(std::string_view n, std::size_t i, std::string_view m, std::size_t j) {
  while (j < m.size()) {
    if (m[j] == '*') {
      while (j < m.size() && m[j] == '*') j++;
      if (j == m.size()) return true;
      for (std::size_t k = i; k <= n.size(); k = (k == n.size() ? k + 1 : NextCharPos(n, k)))
        if (MatchFrom(n, k, m, j)) return true;
      return false;
    }
    // "x.*" matches "x": a trailing ".*" may match nothing.
    if (i == n.size()) return m.substr(j) == ".*" || m.substr(j) == ".";
    std::size_t ni = NextCharPos(n, i), mj = NextCharPos(m, j);
    if (m[j] == '?') {
      i = ni;
      j = mj;
      continue;
    }
    if (ni - i != mj - j) return false;
    if (ni - i == 1) {
      char a = n[i], b = m[j];
      if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
      if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
      if (a != b) return false;
    } else if (n.substr(i, 2) != m.substr(j, 2)) {
      return false;
    }
    i = ni;
    j = mj;
  }
  return i == n.size();
}
}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  return MatchFrom(name, 0, mask, 0);
}

bool MatchesAnyMask(std::string_view name, const std::vector<std::string>& masks) {
  for (const std::string& mask : masks)
    if (MatchesMask(name, mask)) return true;
  return false;
}

std::vector<FoundFile> FindFiles(std::string_view dir, std::string_view mask, std::vector<std::string>* unlisted) {
  return FindFiles(dir, std::vector<std::string>{std::string(mask)}, unlisted);
}

}  // namespace platform
