// SPDX-License-Identifier: MIT
#include "archivers/shared/name_coding.h"

namespace arc {

namespace {

// Whether `s` is well-formed UTF-8; `nonAscii` tells whether it holds more
// than ASCII.
bool WellFormedUtf8(std::string_view s, bool& nonAscii) {
  nonAscii = false;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    nonAscii = true;
    std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    unsigned char c1 = static_cast<unsigned char>(s[i + 1]);
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90))
      return false;
    i += len;
  }
  return true;
}

}  // namespace

bool LooksLikeUtf8(std::string_view s) {
  bool nonAscii = false;
  return WellFormedUtf8(s, nonAscii) && nonAscii;
}

bool IsUtf8(std::string_view s) {
  bool nonAscii = false;
  return WellFormedUtf8(s, nonAscii);
}

}  // namespace arc
