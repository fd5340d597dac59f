// SPDX-License-Identifier: MIT
#pragma once
// ARJ headers. Every header is the id 0x60 0xEA, the size of the basic
// header (0 marks the end of the archive, at most 2600), the basic header,
// its CRC32, then extended headers (size, data, CRC32) up to a size of 0.
// The basic header holds fixed fields (first_hdr_size bytes of them), then
// the zero-terminated name and comment.
#include <cstdint>
#include <string>

namespace arc::arj {

inline constexpr std::size_t kMaxBasicHeaderSize = 2600;

enum Flags : std::uint8_t {
  kGarbled = 0x01,   // encrypted with a password
  kVolume = 0x04,    // continues in the next volume
  kExtFile = 0x08,   // continued from the previous volume
  kPathSym = 0x10,   // "\" already turned into "/"
};

enum FileType : std::uint8_t {
  kBinary = 0,
  kText = 1,
  kMainHeader = 2,
  kDirectory = 3,
  kVolumeLabel = 4,
  kChapterLabel = 5,
};

enum HostOs : std::uint8_t { kMsDos = 0, kUnix = 2, kOs2 = 5, kNext = 8, kWin95 = 10, kWin32 = 11 };

struct Header {
  std::uint8_t firstSize = 0;
  std::uint8_t version = 0;
  std::uint8_t minVersion = 0;
  std::uint8_t hostOs = 0;
  std::uint8_t flags = 0;
  std::uint8_t method = 0;
  std::uint8_t fileType = 0;
  std::uint32_t time = 0;  // DOS date and time; UNIX seconds from UNIX-like hosts
  std::uint32_t compressedSize = 0;
  std::uint32_t originalSize = 0;
  std::uint32_t crc = 0;
  std::uint16_t accessMode = 0;
  std::string name;     // raw bytes as stored
  std::string comment;
};

// Parses a basic header (the bytes between the size and the CRC). Throws
// ArcError(ERROR_HEADER_BROKEN) when the fields do not fit.
Header ParseBasicHeader(const std::uint8_t* data, std::size_t size);

}  // namespace arc::arj
