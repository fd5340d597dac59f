// ZIP through libarchive's seekable reader (it reads the central directory,
// so self-extracting archives with a stub in front open too).
#include <archive.h>
#include <archive_entry.h>

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/zip/zip_directory.h"
#include "archivers/shared/dos_fields.h"
#include "platform/paths.h"

namespace arc {

namespace {

// The directory's entries by name, each name's in directory order (the
// order libarchive lists them in; a name may occur more than once). A
// lookup per entry keeps archives of many thousand entries linear.
struct DirectoryIndex {
  std::vector<ZipDirEntry> entries;
  std::unordered_map<std::string, std::deque<std::size_t>> byName;
};

std::shared_ptr<DirectoryIndex> IndexDirectory(std::vector<ZipDirEntry> entries) {
  auto index = std::make_shared<DirectoryIndex>();
  index->entries = std::move(entries);
  for (std::size_t i = 0; i < index->entries.size(); ++i) index->byName[index->entries[i].rawName].push_back(i);
  return index;
}

}  // namespace

std::unique_ptr<ArchiveReader> OpenZipReader(const std::string& path) {
  struct archive* a = OpenLibarchive(path, [](struct archive* h) { archive_read_support_format_zip_seekable(h); });
  auto dir = IndexDirectory(ReadZipDirectory(platform::FsName(path)));
  // No hdrcharset is set, so libarchive copies unflagged names raw; flagged
  // names come as UTF-8 under the engine's locale. Either way the bytes are
  // those of the directory, and the directory's flags say which coding.
  auto hook = [dir](struct archive*, struct archive_entry*, EntryInfo& info) {
    auto found = dir->byName.find(info.name);
    if (found == dir->byName.end() || found->second.empty()) {
      info.method = "zip";
      return;
    }
    const ZipDirEntry& d = dir->entries[found->second.front()];
    found->second.pop_front();
    info.nameIsUtf8 = (d.flags & 0x0800) != 0;
    info.crc = d.crc;
    info.mtime = LocalStampTime(d.dosDateTime, info.mtime);
    info.compressedSize = d.compressedSize;
    info.method = ZipMethodName(d.method);
    if (d.flags & 0x0001) info.encrypted = true;
  };
  return std::make_unique<LibarchiveReader>(a, hook);
}

}  // namespace arc
