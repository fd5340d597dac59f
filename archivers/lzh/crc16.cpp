// SPDX-License-Identifier: MIT
#include "archivers/lzh/crc16.h"

#include <array>

namespace arc {

namespace {
// Eight tables so that eight bytes are folded in per step: stored LZH
// entries (most of a song archive's audio) are checked at disk speed.
using Tables = std::array<std::array<std::uint16_t, 256>, 8>;

const Tables& Table() {
  static const Tables tables = [] {
    Tables t{};
    for (unsigned i = 0; i < 256; ++i) {
      unsigned r = i;
      for (int k = 0; k < 8; ++k) r = (r & 1) ? (r >> 1) ^ 0xA001 : r >> 1;
      t[0][i] = static_cast<std::uint16_t>(r);
    }
    for (unsigned k = 1; k < 8; ++k)
      for (unsigned i = 0; i < 256; ++i) t[k][i] = static_cast<std::uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
    return t;
  }();
  return tables;
}
}  // namespace

std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size) {
  const auto& t = Table();
  const auto* p = static_cast<const unsigned char*>(data);
  while (size >= 8) {
    unsigned c = crc ^ (p[0] | p[1] << 8);
    crc = static_cast<std::uint16_t>(t[7][c & 0xFF] ^ t[6][c >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
                                     t[1][p[6]] ^ t[0][p[7]]);
    p += 8;
    size -= 8;
  }
  while (size-- > 0) crc = static_cast<std::uint16_t>(t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8));
  return crc;
}

}  // namespace arc
