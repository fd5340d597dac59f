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
