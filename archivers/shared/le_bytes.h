#pragma once
// Little-endian fields appended to a byte string, as the archive formats
// we write (ZIP, CAB) store their numbers.
#include <cstdint>
#include <string>

namespace arc {

inline void Put16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

inline void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

}  // namespace arc
