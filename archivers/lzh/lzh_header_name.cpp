// SPDX-License-Identifier: MIT
#include "archivers/lzh/lzh_header_name.h"

#include "platform/cp932.h"

namespace arc {

std::string SlashesForBackslashes(std::string s) {
  for (std::size_t i = 0; i < s.size(); i = platform::NextCharPos(s, i))
    if (s[i] == '\\') s[i] = '/';
  return s;
}

std::string LzhHeaderName(const std::uint8_t* raw, std::size_t rawLen, int level) {
  std::string file, dir;
  std::size_t offset = 0, fieldSize = 2;
  switch (level) {
    case 0:
    case 1: {
      if (rawLen < 22) return {};
      std::size_t len = raw[21];
      if (22 + len > rawLen) return {};
      file = SlashesForBackslashes(std::string(reinterpret_cast<const char*>(raw + 22), len));
      if (level == 0) return file;
      offset = raw[0];  // the base header ends with the first extension size
      break;
    }
    case 2: offset = 24; break;
    case 3: offset = 28; fieldSize = 4; break;
    default: return {};
  }
  // Extension chain: a size field, then type byte and data; the size
  // counts type, data and the next size field.
  while (offset + fieldSize <= rawLen) {
    std::size_t size = raw[offset] | raw[offset + 1] << 8;
    if (fieldSize == 4) size |= static_cast<std::size_t>(raw[offset + 2]) << 16 | static_cast<std::size_t>(raw[offset + 3]) << 24;
    if (size == 0) break;
    if (size < fieldSize + 1 || offset + fieldSize + size > rawLen + fieldSize) break;
    const std::uint8_t* h = raw + offset + fieldSize;
    std::size_t dataLen = size - fieldSize - 1;
    std::string data(reinterpret_cast<const char*>(h + 1), dataLen);
    if (h[0] == 0x01) {
      file = SlashesForBackslashes(data);
    } else if (h[0] == 0x02) {
      for (char& c : data)
        if (static_cast<unsigned char>(c) == 0xFF) c = '/';
      dir = SlashesForBackslashes(data);
      if (!dir.empty() && dir.back() != '/') dir += '/';
    }
    offset += size;
  }
  return dir + file;
}

}  // namespace arc
