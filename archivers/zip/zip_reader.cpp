// ZIP through libarchive's seekable reader (it reads the central directory,
// so self-extracting archives with a stub in front open too), with names,
// flags and CRCs taken from our own reading of the directory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/zip/zip_directory.h"
#include "platform/paths.h"

namespace arc {

namespace {

// The directory records in the order libarchive hands out the entries:
// it walks them by the position of their local headers, and of records that
// share one position it keeps the first. Pairing by position, not by name:
// libarchive rewrites names (Unicode Path field, normalisation), so a name
// lookup would miss.
std::vector<ZipDirEntry> InLibarchiveOrder(std::vector<ZipDirEntry> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ZipDirEntry& a, const ZipDirEntry& b) { return a.localOffset < b.localOffset; });
  auto dup = std::unique(entries.begin(), entries.end(),
                         [](const ZipDirEntry& a, const ZipDirEntry& b) { return a.localOffset == b.localOffset; });
  entries.erase(dup, entries.end());
  return entries;
}

// No entries when the directory cannot be read: libarchive's view is then
// used alone.
ZipDirectory ReadDirectoryOf(const std::string& fsPath) {
  int fd = open(fsPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  ZipDirectory dir;
  struct stat st{};
  try {
    if (fstat(fd, &st) == 0) dir = ReadZipDirectory(fd, static_cast<std::uint64_t>(st.st_size));
  } catch (const ArcError&) {
    dir = ZipDirectory{};
  }
  close(fd);
  dir.entries = InLibarchiveOrder(std::move(dir.entries));
  return dir;
}

struct Pairing {
  std::vector<ZipDirEntry> records;
  std::size_t next = 0;
  bool lost = false;  // an entry did not match its record: stop trusting the order
};

// The entry as the directory describes it; libarchive's view of the same
// entry fills what is left.
void FillFromRecord(const ZipDirEntry& d, EntryInfo& info) {
  ZipEntryName name = DecideZipName(d);
  info.name = name.bytes;
  info.nameIsUtf8 = name.utf8;
  info.crc = d.crc;
  info.crcKnown = true;
  info.compressedSize = d.compressedSize;
  info.method = ZipMethodName(d.method);
  if (d.flags & 0x0001) info.encrypted = true;
}

// The entries for a walk over the headers alone, straight from the central
// directory: names and sizes are all there, so no local header is read.
class DirectoryWalk : public ArchiveReader {
 public:
  explicit DirectoryWalk(std::vector<ZipDirEntry> records) : records_(std::move(records)) {}

  bool Next(EntryInfo& info) override {
    if (next_ >= records_.size()) return false;
    const ZipDirEntry& d = records_[next_++];
    info = EntryInfo{};
    FillFromRecord(d, info);
    info.isDirectory = !info.name.empty() && info.name.back() == '/';
    info.size = d.size;
    return true;
  }

  void ReadData(const std::function<bool(const void*, std::size_t)>&) override {
    throw ArcError(ERROR_NOT_SEARCH_MODE, "a header walk reads no data");
  }

 private:
  std::vector<ZipDirEntry> records_;
  std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<ArchiveReader> OpenZipReader(const std::string& path) {
  ZipDirectory dir = ReadDirectoryOf(platform::FsName(path));
  if (HeaderWalkScope::Active() && !dir.entries.empty()) return std::make_unique<DirectoryWalk>(std::move(dir.entries));
  // With the directory at hand the data is checked against its CRCs here,
  // with the faster CRC, rather than a second time inside libarchive.
  bool ownCrc = !dir.entries.empty();
  auto configure = [ownCrc](struct archive* h) {
    archive_read_support_format_zip_seekable(h);
    if (ownCrc) archive_read_set_format_option(h, "zip", "ignorecrc32", "1");
  };
  // Behind a stub whose offsets count from the archive itself, libarchive
  // is shown the archive alone: it cannot place a ZIP64 end record there.
  struct archive* a = dir.shift > 0 ? OpenLibarchiveFrom(path, static_cast<std::uint64_t>(dir.shift), configure)
                                    : OpenLibarchive(path, configure);
  auto pairing = std::make_shared<Pairing>();
  pairing->records = std::move(dir.entries);
  auto hook = [pairing](struct archive*, struct archive_entry* e, EntryInfo& info) {
    const ZipDirEntry* d = nullptr;
    if (!pairing->lost && pairing->next < pairing->records.size()) d = &pairing->records[pairing->next++];
    // The sizes must agree, or the two views have come apart.
    if (d && archive_entry_size_is_set(e) && !info.isDirectory && !info.isSymlink &&
        static_cast<std::uint64_t>(archive_entry_size(e)) != d->size) {
      pairing->lost = true;
      d = nullptr;
    }
    if (!d) {
      info.method = "zip";
      return;
    }
    FillFromRecord(*d, info);
    info.mtime = LocalStampTime(d->dosDateTime, info.mtime);
  };
  auto reader = std::make_unique<LibarchiveReader>(a, hook);
  if (ownCrc) reader->CheckCrc();
  return reader;
}

}  // namespace arc
