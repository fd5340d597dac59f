// SPDX-License-Identifier: MIT
#pragma once
// The entries that read archive entries into memory instead of onto the
// disk: ...ExtractMem (one entry into the caller's buffer) and
// ...ListExtractMem (the listing and the chosen entries' bytes, one pass).
// A library may name a reader to try first (ZIP: straight from the central
// directory); whatever that reader cannot serve is read again through the
// library's usual openers.
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/reader_opener.h"

namespace arc {

// Chosen entries larger than this are refused: the whole entry is held.
inline constexpr std::uint64_t kMemoryEntryLimit = 32u << 20;

// A reader to try first: it may see which entries will be read, and
// refuse (NotServedHere) before handing anything out.
using MemoryOpener = std::unique_ptr<ArchiveReader> (*)(const std::string& path, const EntrySelection& chosen);

// Thrown by a first-try reader for an entry it cannot serve: the pass is
// started again with the usual openers.
class NotServedHere : public ArcError {
 public:
  NotServedHere() : ArcError(ERROR_NOT_SUPPORT, "read through the usual reader") {}
};

int RunExtractMem(const std::vector<ReaderOpener>& openers, MemoryOpener firstTry, const char* cmdLine,
                  unsigned char* buffer, std::uint32_t size, std::int64_t* time, std::uint16_t* attributes,
                  std::uint32_t* written) noexcept;
int RunListExtractMem(const std::vector<ReaderOpener>& openers, MemoryOpener firstTry, const char* cmdLine,
                      ENTRYMEMPROC proc, void* context) noexcept;

}  // namespace arc
