#pragma once
// The ZIP central directory read directly: libarchive hands out entry names
// but not the general-purpose flags, and bit 11 decides whether a name is
// UTF-8 or code page 932. Also gives the CRC, packed size and method.
#include <cstdint>
#include <string>
#include <vector>

namespace arc {

struct ZipDirEntry {
  std::string rawName;
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint32_t dosDateTime = 0;  // date in the high word, local time
};

// Empty when the directory cannot be found or read; callers then fall back
// to what libarchive reports.
std::vector<ZipDirEntry> ReadZipDirectory(const std::string& fsPath);

// "deflate", "store"... for a ZIP method number.
std::string ZipMethodName(std::uint16_t method);

}  // namespace arc
