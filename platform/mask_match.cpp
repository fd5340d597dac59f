// SPDX-License-Identifier: MIT
// Windows wildcard matching (files.h), the same on every system.
#include "platform/cp932.h"
#include "platform/files.h"

namespace platform {

namespace {
// The position after the whole character at pos: a CP932 one, or a UTF-8
// sequence (a stray byte alone).
using NextChar = std::size_t (*)(std::string_view s, std::size_t pos);

std::size_t NextUtf8Pos(std::string_view s, std::size_t pos) {
  const unsigned char c = static_cast<unsigned char>(s[pos]);
  std::size_t len = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  std::size_t end = pos + 1;
  while (end < s.size() && end < pos + len && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) ++end;
  return end;
}

bool MatchFrom(std::string_view n, std::size_t i, std::string_view m, std::size_t j, NextChar next) {
  while (j < m.size()) {
    if (m[j] == '*') {
      while (j < m.size() && m[j] == '*') j++;
      if (j == m.size()) return true;
      for (std::size_t k = i; k <= n.size(); k = (k == n.size() ? k + 1 : next(n, k)))
        if (MatchFrom(n, k, m, j, next)) return true;
      return false;
    }
    // "x.*" matches "x": a trailing ".*" may match nothing.
    if (i == n.size()) return m.substr(j) == ".*" || m.substr(j) == ".";
    std::size_t ni = next(n, i), mj = next(m, j);
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
    } else if (n.substr(i, ni - i) != m.substr(j, mj - j)) {
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
  return MatchFrom(name, 0, mask, 0, NextCharPos);
}

bool MatchesMaskUtf8(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  return MatchFrom(name, 0, mask, 0, NextUtf8Pos);
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
