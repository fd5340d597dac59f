// SPDX-License-Identifier: MIT
#include "tests/formats/cab_reserve.h"

#include <cstdint>
#include <vector>

namespace fmt_test {

namespace {

constexpr std::size_t kHeaderSize = 36, kFolderSize = 8, kBlockHeaderSize = 8;
constexpr std::uint16_t kHeaderReserve = 20;
constexpr std::uint8_t kFolderReserve = 4, kBlockReserve = 8;

std::uint32_t Get(const std::string& s, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}
void Set(std::string& s, std::size_t at, int bytes, std::uint32_t v) {
  for (int i = 0; i < bytes; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

std::string AddCabReserve(const std::string& cab) {
  if (cab.size() < kHeaderSize || cab.compare(0, 4, "MSCF") != 0 || Get(cab, 30, 2) != 0) return {};
  std::size_t folders = Get(cab, 26, 2);
  std::size_t filesAt = Get(cab, 16, 4);
  std::size_t dataAt = cab.size();
  for (std::size_t f = 0; f < folders; ++f) {
    dataAt = std::min<std::size_t>(dataAt, Get(cab, kHeaderSize + f * kFolderSize, 4));
  }
  if (filesAt != kHeaderSize + folders * kFolderSize || filesAt > dataAt) return {};

  std::string head = cab.substr(0, kHeaderSize);
  Set(head, 30, 2, 0x0004);  // reserve present
  head += std::string("\0\0\0\0", 4);
  Set(head, kHeaderSize, 2, kHeaderReserve);
  head[kHeaderSize + 2] = static_cast<char>(kFolderReserve);
  head[kHeaderSize + 3] = static_cast<char>(kBlockReserve);
  head += std::string(kHeaderReserve, '\0');

  std::size_t shift = head.size() - kHeaderSize + folders * kFolderReserve;
  std::string files = cab.substr(filesAt, dataAt - filesAt);
  std::string folderTable, data;
  std::size_t newDataAt = filesAt + shift + files.size();
  for (std::size_t f = 0; f < folders; ++f) {
    std::string entry = cab.substr(kHeaderSize + f * kFolderSize, kFolderSize);
    std::size_t at = Get(entry, 0, 4);
    Set(entry, 0, 4, static_cast<std::uint32_t>(newDataAt + data.size()));
    for (std::size_t b = Get(entry, 4, 2); b > 0; --b) {
      if (at + kBlockHeaderSize > cab.size()) return {};
      std::size_t len = Get(cab, at + 4, 2);
      if (at + kBlockHeaderSize + len > cab.size()) return {};
      data += cab.substr(at, kBlockHeaderSize) + std::string(kBlockReserve, '\0') +
              cab.substr(at + kBlockHeaderSize, len);
      at += kBlockHeaderSize + len;
    }
    folderTable += entry + std::string(kFolderReserve, '\0');
  }
  std::string out = head + folderTable + files + data;
  Set(out, 16, 4, static_cast<std::uint32_t>(filesAt + shift));
  Set(out, 8, 4, static_cast<std::uint32_t>(out.size()));
  return out;
}

}  // namespace fmt_test
