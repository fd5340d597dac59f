// SPDX-License-Identifier: MIT
#include "archivers/rar/rar_name.h"

#include <vector>

#include "archivers/shared/name_coding.h"
#include "platform/text_encoding.h"

namespace arc::rar {

namespace {

constexpr std::uint8_t kUnixHost = 3;
constexpr std::size_t kMaxUnits = 1024;  // RAR names stop well before this

bool Utf16ToUtf8(const std::vector<std::uint16_t>& units, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint32_t u = units[i];
    if (u == 0) return false;  // a name has no NUL
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
      u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      return false;
    }
    platform::AppendUtf8(static_cast<char32_t>(u), out);
  }
  return !out.empty();
}

bool ValidUtf8(const std::string& s) {
  // LooksLikeUtf8 also wants a non-ASCII character; ASCII is UTF-8 as well.
  for (unsigned char c : s)
    if (c >= 0x80) return LooksLikeUtf8(s);
  return true;
}

}  // namespace

bool DecodePackedUnicode(const std::string& ansi, const std::string& packed, std::string& utf8) {
  // A high byte shared by the characters that give only their low byte, then
  // groups of four two-bit opcodes, each group led by a flag byte.
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(packed[i]); };
  if (packed.empty()) return false;
  std::vector<std::uint16_t> units;
  std::uint16_t high = static_cast<std::uint16_t>(byte(0) << 8);
  std::size_t pos = 1;
  unsigned flags = 0, flagBits = 0;
  while (pos < packed.size() && units.size() < kMaxUnits) {
    if (flagBits == 0) {
      flags = byte(pos++);
      flagBits = 8;
      if (pos >= packed.size()) break;
    }
    switch (flags >> 6 & 3) {
      case 0:  // a character below U+0100
        units.push_back(byte(pos++));
        break;
      case 1:  // the low byte, with the shared high byte
        units.push_back(static_cast<std::uint16_t>(high | byte(pos++)));
        break;
      case 2:  // a whole character, low byte first
        if (pos + 1 >= packed.size()) return false;
        units.push_back(static_cast<std::uint16_t>(byte(pos) | byte(pos + 1) << 8));
        pos += 2;
        break;
      default: {  // a run taken from the ANSI name, optionally shifted
        std::uint8_t length = byte(pos++);
        if (length & 0x80) {
          if (pos >= packed.size()) return false;
          std::uint8_t correction = byte(pos++);
          for (unsigned n = (length & 0x7F) + 2u; n > 0 && units.size() < ansi.size(); --n)
            units.push_back(static_cast<std::uint16_t>(
                high | static_cast<std::uint8_t>(static_cast<std::uint8_t>(ansi[units.size()]) + correction)));
        } else {
          for (unsigned n = length + 2u; n > 0 && units.size() < ansi.size(); --n)
            units.push_back(static_cast<std::uint8_t>(ansi[units.size()]));
        }
        break;
      }
    }
    flags = (flags << 2) & 0xFF;
    flagBits -= 2;
  }
  return Utf16ToUtf8(units, utf8);
}

EntryName DecodeEntryName(const std::string& raw, bool unicodeFlag, std::uint8_t hostOs) {
  std::size_t zero = raw.find('\0');
  std::string ansi = raw.substr(0, zero);
  if (unicodeFlag) {
    if (zero == std::string::npos) {
      if (ValidUtf8(raw)) return {raw, true};
    } else {
      std::string utf8;
      if (DecodePackedUnicode(ansi, raw.substr(zero + 1), utf8)) return {utf8, true};
    }
  }
  if (hostOs == kUnixHost && LooksLikeUtf8(ansi)) return {ansi, true};
  return {ansi, false};
}

}  // namespace arc::rar
