#pragma once
// The ArchiveReader over a libarchive read handle, shared by the ZIP, TAR
// family and RAR 5 readers. Each format decides how names are coded.
#include <cstdint>
#include <functional>
#include <string>

#include "archivers/shared/archive_reader.h"

struct archive;
struct archive_entry;

namespace arc {

class LibarchiveReader : public ArchiveReader {
 public:
  // Completes an EntryInfo the generic part filled (name coding, CRC...).
  using EntryHook = std::function<void(struct archive*, struct archive_entry*, EntryInfo&)>;

  // Takes ownership of an opened handle.
  LibarchiveReader(struct archive* a, EntryHook hook);
  ~LibarchiveReader() override;
  LibarchiveReader(const LibarchiveReader&) = delete;
  LibarchiveReader& operator=(const LibarchiveReader&) = delete;

  bool Next(EntryInfo& info) override;
  void ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) override;

 private:
  struct archive* a_;
  EntryHook hook_;
  bool current_is_directory_ = false;  // a folder has no data to read
  bool current_encrypted_ = false;
};

// Opens `path` (CP932) with a handle prepared by `configure` (formats and
// filters). Throws ArcError: ERROR_ARC_FILE_OPEN when the file cannot be
// read, ERROR_NOT_ARC_FILE when no enabled format recognises it.
struct archive* OpenLibarchive(const std::string& path, const std::function<void(struct archive*)>& configure);

// The same over the file from byte `start` on, as if it began there: for an
// archive behind a stub whose offsets count from the archive itself.
struct archive* OpenLibarchiveFrom(const std::string& path, std::uint64_t start,
                                   const std::function<void(struct archive*)>& configure);

// Throws ERROR_ARC_FILE_OPEN unless `path` names a readable regular file.
void RequireReadableFile(const std::string& path);

}  // namespace arc
