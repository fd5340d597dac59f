#include "archivers/engine/crc16.h"

#include <array>

namespace arc {

namespace {
const std::array<std::uint16_t, 256>& Table() {
  static const std::array<std::uint16_t, 256> table = [] {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
      unsigned r = i;
      for (int k = 0; k < 8; ++k) r = (r & 1) ? (r >> 1) ^ 0xA001 : r >> 1;
      t[i] = static_cast<std::uint16_t>(r);
    }
    return t;
  }();
  return table;
}
}  // namespace

std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size) {
  const auto& t = Table();
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) crc = static_cast<std::uint16_t>(t[(crc ^ p[i]) & 0xFF] ^ (crc >> 8));
  return crc;
}

}  // namespace arc
