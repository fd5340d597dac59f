// SPDX-License-Identifier: MIT
#include "archivers/zip/zip_entry_data.h"

#include <libdeflate.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/le_bytes.h"

namespace arc {

namespace {
constexpr std::size_t kLocalSize = 30;
constexpr std::uint32_t kLocalSig = 0x04034b50;
constexpr std::uint16_t kStored = 0, kDeflated = 8;
constexpr std::uint16_t kEncryptedFlags = 0x0001 | 0x0040;  // traditional or strong encryption
}  // namespace

bool SuitsWholeRead(const ZipDirEntry& d) {
  if (d.method != kStored && d.method != kDeflated) return false;
  if (d.flags & kEncryptedFlags) return false;
  // Stored data is its packed bytes, whatever the size field claims; the
  // CRC tells whether they are right.
  if (d.method == kStored) return d.compressedSize <= kWholeEntryLimit;
  return d.size <= kWholeEntryLimit && d.compressedSize <= kWholeEntryLimit;
}

WholeEntryReader::WholeEntryReader() : inflater_(libdeflate_alloc_decompressor()) {
  if (!inflater_) throw std::bad_alloc();
}

WholeEntryReader::~WholeEntryReader() { libdeflate_free_decompressor(inflater_); }

namespace {
bool ReadAt(int fd, std::uint64_t at, std::size_t size, unsigned char* into) {
  std::size_t got = 0;
  while (got < size) {
    ssize_t n = pread(fd, into + got, size - got, static_cast<std::int64_t>(at + got));
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

[[noreturn]] void CrcMismatch(std::uint32_t got, std::uint32_t stored) {
  char text[64];
  std::snprintf(text, sizeof text, "bad CRC: 0x%08x should be 0x%08x", got, stored);
  throw ArcError(ERROR_FILE_CRC, text);
}
}  // namespace

unsigned char* WholeEntryReader::Buffer::Room(std::size_t size) {
  if (capacity < size || !bytes) {
    capacity = std::max<std::size_t>(size, 1);
    bytes.reset();
    bytes = std::make_unique_for_overwrite<unsigned char[]>(capacity);
  }
  return bytes.get();
}

void WholeEntryReader::Trim(std::size_t keep) {
  for (Buffer* b : {&packed_, &data_})
    if (b->capacity > keep) *b = Buffer{};
}

bool WholeEntryReader::Read(int fd, std::uint64_t fileSize, const ZipDirEntry& d, const Sink& sink) {
  if (!SuitsWholeRead(d)) return false;
  unsigned char local[kLocalSize];
  if (d.localOffset > fileSize || fileSize - d.localOffset < kLocalSize) return false;
  if (!ReadAt(fd, d.localOffset, kLocalSize, local) || Le32(local) != kLocalSig) return false;
  // libarchive goes by the local header's method and flags: where they
  // differ from the record, it decides.
  if (Le16(local + 8) != d.method || (Le16(local + 6) & kEncryptedFlags)) return false;
  // The local header's own name and extra lengths place the data, which
  // must end inside the file.
  std::uint64_t start = d.localOffset + kLocalSize + Le16(local + 26) + Le16(local + 28);
  if (start > fileSize || fileSize - start < d.compressedSize) return false;
  return d.method == kStored ? ReadStored(fd, start, d, sink) : ReadDeflated(fd, start, d, sink);
}

// Stored data needs no buffer of its own size: it streams in pieces, and
// its CRC is known once the last piece is out, as on libarchive's path.
bool WholeEntryReader::ReadStored(int fd, std::uint64_t start, const ZipDirEntry& d, const Sink& sink) {
  std::uint64_t size = d.compressedSize;
  unsigned char* piece = data_.Room(static_cast<std::size_t>(std::min<std::uint64_t>(size, kPiece)));
  std::uint32_t crc = 0;
  for (std::uint64_t at = 0; at < size;) {
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size - at, kPiece));
    // Only a file cut short while it is read ends up here.
    if (!ReadAt(fd, start + at, n, piece)) throw ArcError(ERROR_BROKEN_DATA, "truncated ZIP file data");
    crc = Crc32(crc, piece, n);
    if (!sink(piece, n)) return true;
    at += n;
  }
  if (crc != d.crc) CrcMismatch(crc, d.crc);
  return true;
}

bool WholeEntryReader::ReadDeflated(int fd, std::uint64_t start, const ZipDirEntry& d, const Sink& sink) {
  std::size_t packedSize = static_cast<std::size_t>(d.compressedSize), size = static_cast<std::size_t>(d.size);
  unsigned char* in = packed_.Room(packedSize);
  unsigned char* out = data_.Room(size);
  if (!ReadAt(fd, start, packedSize, in)) return false;
  // Exactly the declared size, or libarchive shall say what is wrong.
  if (libdeflate_deflate_decompress(inflater_, in, packedSize, out, size, nullptr) != LIBDEFLATE_SUCCESS) return false;
  std::uint32_t crc = Crc32(0, out, size);
  if (crc != d.crc) CrcMismatch(crc, d.crc);
  for (std::size_t at = 0; at < size; at += kPiece)
    if (!sink(out + at, std::min(kPiece, size - at))) break;
  return true;
}

}  // namespace arc
