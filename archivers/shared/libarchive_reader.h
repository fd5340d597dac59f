// SPDX-License-Identifier: MIT
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

  // Takes ownership of an opened handle. `listsCheaply`: skipping an
  // entry's data seeks rather than decodes (see ArchiveReader).
  LibarchiveReader(struct archive* a, EntryHook hook, bool listsCheaply = true);
  ~LibarchiveReader() override;
  LibarchiveReader(const LibarchiveReader&) = delete;
  LibarchiveReader& operator=(const LibarchiveReader&) = delete;

  bool Next(EntryInfo& info) override;
  void ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) override;
  void ReadSparseData(const std::function<bool(const void* data, std::size_t size)>& sink,
                      const std::function<bool(std::uint64_t length)>& hole) override;
  bool ListsCheaply() const override { return listsCheaply_; }

  // The data of entries whose hook set crcKnown is checked against that
  // CRC here, once: for formats where libarchive is told not to (ZIP).
  void CheckCrc() { checkCrc_ = true; }
  // RAR 5 only: the data is checked against the CRC32 and size the entry's
  // header stores (libarchive 3.6 checks no stored entry), and an error
  // libarchive reports after it delivered the data in full and right (a
  // false checksum error on delta-filtered entries) is forgiven.
  void CheckAgainstHeaderCrc() {
    checkCrc_ = true;
    rar5_ = true;
  }
  // The archive is known to be cut short: its end, once reached, is an
  // error rather than a clean end, even when every entry came whole.
  void EndIsCutShort() { cutShort_ = true; }

 private:
  struct archive* a_;
  EntryHook hook_;
  bool listsCheaply_;
  bool checkCrc_ = false;
  bool rar5_ = false;
  bool cutShort_ = false;
  bool skippedDamage_ = false;
  bool current_is_directory_ = false;  // a folder has no data to read
  bool current_encrypted_ = false;
  bool current_sparse_ = false;  // holes up to the declared size may follow the last block
  bool current_size_known_ = false;
  std::uint64_t current_size_ = 0;
  bool current_crc_known_ = false;
  std::uint32_t current_crc_ = 0;
};

// Opens `path` (CP932) with a handle prepared by `configure` (formats and
// filters). Throws ArcError: ERROR_ARC_FILE_OPEN when the file cannot be
// read, ERROR_NOT_ARC_FILE when no enabled format recognises it.
struct archive* OpenLibarchive(const std::string& path, const std::function<void(struct archive*)>& configure);

// The same over bytes `start` to `end` of the file (0: its end), as if
// they were the whole file: for an archive behind a stub whose offsets count
// from the archive itself, or to hide what follows an archive's own end.
struct archive* OpenLibarchiveWindow(const std::string& path, std::uint64_t start, std::uint64_t end,
                                     const std::function<void(struct archive*)>& configure);

// Throws ERROR_ARC_FILE_OPEN unless `path` names a readable regular file.
void RequireReadableFile(const std::string& path);

}  // namespace arc
