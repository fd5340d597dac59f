// SPDX-License-Identifier: MIT
#pragma once
// How much an extraction may write. Archives declare sizes, and hostile
// ones lie: declared sizes are weighed against the free disk space before
// anything is written, and each entry's output against what it declared
// and against how far its compressed data can sensibly expand.
#include <cstdint>

#include "archivers/shared/archive_reader.h"

namespace arc {

struct ExtractLimits {
  // Free space no extraction may take: the system needs some to go on.
  std::uint64_t diskReserve = 16ull << 20;
  // Output beyond both this and outputRatio times the compressed size is a
  // bomb, not a song: sound and images barely compress, charts perhaps
  // tenfold.
  std::uint64_t outputFloor = 200ull << 20;
  std::uint64_t outputRatio = 100;
};

// The most `compressed` bytes may expand to under `limits`.
std::uint64_t ExpansionCap(const ExtractLimits& limits, std::uint64_t compressed);

// Room for `need` bytes when `freeBytes` are free, the reserve kept.
bool FitsOnDisk(const ExtractLimits& limits, std::uint64_t need, std::uint64_t freeBytes);

// The most an entry's packed bytes can give: themselves for a stored
// entry, its expansion cap otherwise; UINT64_MAX when the format keeps no
// packed size.
std::uint64_t PlausibleOutput(const ExtractLimits& limits, const EntryInfo& info);

// Bytes an entry will take on disk by its own declaration (holes take
// none), but no more than its packed bytes can give: a size field is only a
// claim. 0 when it declares nothing reliable.
std::uint64_t DeclaredNeed(const ExtractLimits& limits, const EntryInfo& info);

// The output of one entry while it is written.
class EntryBudget {
 public:
  // `archiveSize`: bytes of the archive file; `keptBefore`: bytes the
  // extraction has already written and kept.
  EntryBudget(const ExtractLimits& limits, const EntryInfo& info, std::uint64_t archiveSize, std::uint64_t keptBefore);

  // Counts `data` bytes written and `hole` bytes left as a hole. Throws
  // ArcError: ERROR_BROKEN_DATA once the entry passes its declared size,
  // ERROR_EXPANDS_TOO_FAR once it passes its expansion cap or the archive's
  // output passes the archive's cap (then StopsArchive()).
  void Add(std::uint64_t data, std::uint64_t hole);
  bool StopsArchive() const { return stopsArchive_; }
  std::uint64_t Written() const { return written_; }

 private:
  const EntryInfo& info_;
  std::uint64_t entryCap_;    // UINT64_MAX when the entry keeps no compressed size
  std::uint64_t archiveCap_;  // for everything written from this archive
  std::uint64_t keptBefore_;
  std::uint64_t written_ = 0;  // data bytes
  std::uint64_t length_ = 0;   // data and holes
  bool stopsArchive_ = false;
};

}  // namespace arc
