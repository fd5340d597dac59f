// SPDX-License-Identifier: MIT
#pragma once
// The RAR 1.5-4.x headers that this reader reads itself, because libunarr
// does not tell: encryption, directories, the stored CRC and attributes, the
// name's raw bytes and the archive flags. Each header starts with CRC16
// (low half of the CRC32 of the rest), type, flags and size.
#include <cstdint>
#include <cstdio>
#include <string>

namespace arc::rar {

inline constexpr unsigned char kRar4Signature[7] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
inline constexpr unsigned char kRar5Signature[8] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00};

enum ArchiveFlags : std::uint16_t {
  kArchiveVolume = 0x0001,
  kArchiveSolid = 0x0008,
  kArchiveEncryptedHeaders = 0x0080,
};

enum FileFlags : std::uint16_t {
  kSplitBefore = 0x0001,
  kSplitAfter = 0x0002,
  kEncrypted = 0x0004,
  kDirectoryMask = 0x00E0,
  kLarge = 0x0100,
  kUnicodeName = 0x0200,
};

enum HostOs : std::uint8_t { kMsDos = 0, kOs2 = 1, kWin32 = 2 };

struct FileHeader {
  std::uint64_t dataOffset = 0;  // where the packed data starts in the file
  std::uint16_t flags = 0;
  std::uint64_t packSize = 0;
  std::uint64_t unpSize = 0;
  std::uint8_t hostOs = 0;
  std::uint32_t fileCrc = 0;
  std::uint32_t dosTime = 0;
  std::uint8_t unpVersion = 0;
  std::uint8_t method = 0;
  std::uint32_t attributes = 0;
  std::string name;  // raw bytes: "ANSI\0packed Unicode" when kUnicodeName is set

  bool Encrypted() const { return flags & kEncrypted; }
  bool Directory() const { return (flags & kDirectoryMask) == kDirectoryMask; }
  bool Split() const { return flags & (kSplitBefore | kSplitAfter); }
};

// The archive flags of the main header that follows the signature. Throws
// ArcError(ERROR_HEADER_CRC / ERROR_HEADER_BROKEN).
std::uint16_t ReadArchiveFlags(std::FILE* f);

// The file header that starts at `offset`. Throws ArcError(ERROR_HEADER_CRC
// / ERROR_HEADER_BROKEN).
FileHeader ReadFileHeader(std::FILE* f, std::uint64_t offset);

// The first file header at or after `offset`, stepping over the other
// blocks by their sizes; `offset` moves past the header's data. False at
// the end block or where the blocks run past `fileLength`. Throws as
// ReadFileHeader.
bool NextFileHeader(std::FILE* f, std::uint64_t fileLength, std::uint64_t& offset, FileHeader& header);

}  // namespace arc::rar
