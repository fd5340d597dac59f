// SPDX-License-Identifier: MIT
#pragma once
// The data of a ZIP entry read and inflated in one piece. libarchive streams
// every entry through zlib; for the small entries song archives hold
// (charts, most sounds) one read and one whole-buffer inflate with libdeflate
// cost far less. Large entries, other methods, encrypted entries and
// anything that does not add up are left to libarchive's streaming.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "archivers/zip/zip_directory.h"

struct libdeflate_decompressor;

namespace arc {

// Entries up to this size (compressed and expanded) are read whole, so the
// memory a reader holds stays bounded whatever an archive declares.
inline constexpr std::uint64_t kWholeEntryLimit = 32u << 20;

// True when the entry's record allows a whole read: stored or deflated, not
// encrypted, both sizes within the bound (a stored entry's data is its
// packed bytes, so only their size counts).
bool SuitsWholeRead(const ZipDirEntry& d);

class WholeEntryReader {
 public:
  using Sink = std::function<bool(const void* data, std::size_t size)>;

  WholeEntryReader();
  ~WholeEntryReader();
  WholeEntryReader(const WholeEntryReader&) = delete;
  WholeEntryReader& operator=(const WholeEntryReader&) = delete;

  // Hands the data of `d`, read from `fd` (a file of `fileSize` bytes), to
  // `sink` in pieces of at most kPiece bytes, so that progress can be
  // reported and a false answer stops in between. False, with nothing
  // handed over, when the entry does not suit a whole read, the local
  // header is not where the record says or disagrees with it, the data
  // would run past the end of the file, or deflated data does not inflate
  // to exactly the declared size: the caller then streams the entry as
  // before, which reports any damage as it always did. Throws
  // ArcError(ERROR_FILE_CRC) when the data is not the record's CRC's:
  // deflated data is checked before any of it is handed over, stored data
  // (which streams) after.
  bool Read(int fd, std::uint64_t fileSize, const ZipDirEntry& d, const Sink& sink);

  static constexpr std::size_t kPiece = 1 << 20;

  // Gives back buffers grown past `keep` bytes, for a reader kept long.
  void Trim(std::size_t keep);

 private:
  // Grows without keeping the contents: the entries of an archive reuse it.
  struct Buffer {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t capacity = 0;
    unsigned char* Room(std::size_t size);
  };
  bool ReadStored(int fd, std::uint64_t start, const ZipDirEntry& d, const Sink& sink);
  bool ReadDeflated(int fd, std::uint64_t start, const ZipDirEntry& d, const Sink& sink);

  libdeflate_decompressor* inflater_ = nullptr;
  Buffer packed_, data_;
};

}  // namespace arc
