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
  if (d.size > kWholeEntryLimit || d.compressedSize > kWholeEntryLimit) return false;
  return d.method != kStored || d.compressedSize == d.size;
}

WholeEntryReader::WholeEntryReader() : inflater_(libdeflate_alloc_decompressor()) {
  if (!inflater_) throw std::bad_alloc();
}

WholeEntryReader::~WholeEntryReader() { libdeflate_free_decompressor(inflater_); }

namespace {
bool ReadAt(int fd, std::uint64_t at, std::size_t size, unsigned char* into) {
  std::size_t got = 0;
  while (got < size) {
    ssize_t n = pread(fd, into + got, size - got, static_cast<off_t>(at + got));
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

// Buffers only grow: an archive's entries reuse them.
unsigned char* Room(std::vector<unsigned char>& buffer, std::size_t size) {
  if (buffer.size() < size || buffer.empty()) buffer.resize(std::max<std::size_t>(size, 1));
  return buffer.data();
}
}  // namespace

bool WholeEntryReader::Read(int fd, std::uint64_t fileSize, const ZipDirEntry& d, std::span<const unsigned char>& data) {
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
  std::size_t packedSize = static_cast<std::size_t>(d.compressedSize), size = static_cast<std::size_t>(d.size);
  unsigned char* out = Room(data_, size);
  if (d.method == kStored) {
    if (!ReadAt(fd, start, size, out)) return false;
  } else {
    unsigned char* in = Room(packed_, packedSize);
    if (!ReadAt(fd, start, packedSize, in)) return false;
    // Exactly the declared size, or libarchive shall say what is wrong.
    if (libdeflate_deflate_decompress(inflater_, in, packedSize, out, size, nullptr) != LIBDEFLATE_SUCCESS) return false;
  }
  std::uint32_t crc = Crc32(0, out, size);
  if (crc != d.crc) {
    char text[64];
    std::snprintf(text, sizeof text, "bad CRC: 0x%08x should be 0x%08x", crc, d.crc);
    throw ArcError(ERROR_FILE_CRC, text);
  }
  data = std::span<const unsigned char>(out, size);
  return true;
}

}  // namespace arc
