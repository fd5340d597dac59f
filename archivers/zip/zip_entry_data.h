#pragma once
// The data of a ZIP entry read and inflated in one piece. libarchive streams
// every entry through zlib; for the small entries song archives hold
// (charts, most sounds) one read and one whole-buffer inflate with libdeflate
// cost far less. Large entries, other methods, encrypted entries and
// anything that does not add up are left to libarchive's streaming.
#include <cstdint>
#include <span>
#include <vector>

#include "archivers/zip/zip_directory.h"

struct libdeflate_decompressor;

namespace arc {

// Entries up to this size (compressed and expanded) are read whole, so the
// memory a reader holds stays bounded whatever an archive declares.
inline constexpr std::uint64_t kWholeEntryLimit = 32u << 20;

// True when the entry's record allows a whole read: stored or deflated, not
// encrypted, both sizes within the bound.
bool SuitsWholeRead(const ZipDirEntry& d);

class WholeEntryReader {
 public:
  WholeEntryReader();
  ~WholeEntryReader();
  WholeEntryReader(const WholeEntryReader&) = delete;
  WholeEntryReader& operator=(const WholeEntryReader&) = delete;

  // The data of `d` from `fd` (a file of `fileSize` bytes), exactly d.size
  // bytes, checked against the record's CRC; the bytes stay valid until the
  // next call. False when the entry does not suit a whole read, the local
  // header is not where the record says or disagrees with it, the data
  // would run past the end of the file or does not inflate to exactly the
  // declared size: the caller then streams the entry as before, which
  // reports any damage as it always did. Throws ArcError(ERROR_FILE_CRC)
  // when the data is whole but its CRC is not the record's.
  bool Read(int fd, std::uint64_t fileSize, const ZipDirEntry& d, std::span<const unsigned char>& data);

 private:
  libdeflate_decompressor* inflater_ = nullptr;
  std::vector<unsigned char> packed_, data_;
};

}  // namespace arc
