// SPDX-License-Identifier: MIT
#include "platform/cp932.h"

namespace platform {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::size_t NextCharPos(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return s.size();
  if (IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) return pos + 2;
  return pos + 1;
}

std::size_t PrevCharPos(std::string_view s, std::size_t pos) {
  if (pos == 0) return 0;
  if (pos > s.size()) pos = s.size();
  std::size_t i = 0, prev = 0;
  while (i < pos) {
    prev = i;
    i = NextCharPos(s, i);
  }
  return prev;
}

std::size_t LastCharPos(std::string_view s) {
  if (s.empty()) return std::string_view::npos;
  return PrevCharPos(s, s.size());
}

std::size_t LastByteCharPos(std::string_view s, char c) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < s.size(); i = NextCharPos(s, i))
    if (s[i] == c) found = i;
  return found;
}

bool HasTwinCharacter(std::string_view cp932) {
  for (std::size_t i = 0; i + 1 < cp932.size(); i = NextCharPos(cp932, i)) {
    if (static_cast<unsigned char>(cp932[i]) != 0x81) continue;
    switch (static_cast<unsigned char>(cp932[i + 1])) {
      case 0x5C:  // U+2015 / U+2014
      case 0x60:  // U+FF5E / U+301C
      case 0x61:  // U+2225 / U+2016
      case 0x7C:  // U+FF0D / U+2212
      case 0x91:  // U+FFE0 / U+00A2
      case 0x92:  // U+FFE1 / U+00A3
      case 0xCA:  // U+FFE2 / U+00AC
        return true;
      default:
        break;
    }
  }
  return false;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

std::string AsciiUpper(std::string_view s) {
  std::string r(s);
  for (std::size_t i = 0; i < r.size(); i = NextCharPos(r, i))
    if (r[i] >= 'a' && r[i] <= 'z') r[i] = static_cast<char>(r[i] - 32);
  return r;
}

std::string AsciiLower(std::string_view s) {
  std::string r(s);
  for (std::size_t i = 0; i < r.size(); i = NextCharPos(r, i))
    if (r[i] >= 'A' && r[i] <= 'Z') r[i] = static_cast<char>(r[i] + 32);
  return r;
}

bool SameTextAscii(std::string_view a, std::string_view b) { return AsciiUpper(a) == AsciiUpper(b); }

}  // namespace platform
