// SPDX-License-Identifier: MIT
#pragma once
// The ZIP central directory, read directly: the one parser behind reading
// (libarchive hands out entry names but not the flags, the made-by host or
// the Unicode Path field that decide how a name is coded) and updating
// (records copied exactly as stored).
//
// The end record is searched from the end of the file. A ZIP64 end record
// is used whenever its locator sits right before the end record, whatever
// the 32-bit fields hold. An archive behind a self-extractor stub keeps the
// offsets of the archive alone: the real position of the directory (right
// before the ZIP64 record, or the end record) tells the stub's length.
#include <cstdint>
#include <string>
#include <vector>

namespace arc {

struct ZipDirEntry {
  std::string central;  // the whole record as stored
  std::string rawName;
  std::string extra;
  std::uint8_t madeByHost = 0;  // high byte of "version made by": 0 DOS, 3 Unix, 19 macOS...
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint32_t dosDateTime = 0;  // date in the high word, local time
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;
  std::uint64_t localOffset = 0;  // real position of the local header in the file
  bool zip64 = false;             // a field came from the ZIP64 extra field
  std::uint32_t disk = 0;         // the volume of a split archive the local header is on
};

struct ZipDirectory {
  std::vector<ZipDirEntry> entries;  // in directory order
  std::uint64_t directoryOffset = 0;  // where the central directory really is
  std::uint64_t directorySize = 0;
  std::uint64_t endRecordEnd = 0;     // right after the end record's fixed 22 bytes (comment excluded)
  std::int64_t shift = 0;             // real offsets minus stored offsets (a stub's length)
  std::string comment;
  bool zip64 = false;  // found through a ZIP64 end record
  bool split = false;  // the end record names more than one disk
  std::uint32_t lastDisk = 0;  // the number of the volume holding the end record (0 unsplit)
};

// Throws ArcError: ERROR_NOT_ARC_FILE without an end record,
// ERROR_HEADER_BROKEN for a directory that does not fit the file or the
// count of records it claims.
// `storedOffsets`: the local headers' offsets are kept as stored (for a
// volume of a split archive, whose offsets count from elsewhere), and a
// directory that begins before the file gives the end record alone.
ZipDirectory ReadZipDirectory(int fd, std::uint64_t fileSize, bool storedOffsets = false);

// The records in the order libarchive hands out the entries: it walks them
// by the position of their local headers, and of records that share one
// position it keeps the first. Readers pair by position, not by name:
// libarchive rewrites names (Unicode Path field, normalisation), so a name
// lookup would miss.
std::vector<ZipDirEntry> InLocalHeaderOrder(std::vector<ZipDirEntry> entries);

// How an entry's name is coded, and the bytes to use:
//  - an Info-ZIP Unicode Path field (0x7075) whose CRC matches the stored
//    name gives the name as UTF-8;
//  - else flag bit 11 says the stored name is UTF-8, when its bytes are;
//  - else the stored name is UTF-8 when it is valid UTF-8 (with at least one
//    non-ASCII character) and either the archive was made on Unix or macOS
//    (host 3 or 19) or the bytes are no valid CP932; otherwise CP932.
struct ZipEntryName {
  std::string bytes;
  bool utf8 = false;
};
ZipEntryName DecideZipName(const ZipDirEntry& e);

// Exactly `len` bytes at `off`; a file that ends before raises
// ERROR_HEADER_BROKEN with `whenShort`.
std::string ReadZipBytes(int fd, std::uint64_t off, std::size_t len, const char* whenShort);
// The bytes of `s` from `at`, for the little-endian readers.
inline const unsigned char* ZipBytesAt(const std::string& s, std::size_t at = 0) {
  return reinterpret_cast<const unsigned char*>(s.data() + at);
}

// "deflate", "store"... for a ZIP method number.
std::string ZipMethodName(std::uint16_t method);

}  // namespace arc
