// ZIP through libarchive's seekable reader (it reads the central directory,
// so self-extracting archives with a stub in front open too).
#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "archiver_api.h"
#include "archivers/engine/libarchive_reader.h"
#include "archivers/engine/zip_directory.h"
#include "platform/paths.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenZipReader(const std::string& path) {
  struct archive* a = OpenLibarchive(path, [](struct archive* h) { archive_read_support_format_zip_seekable(h); });
  auto dir = std::make_shared<std::vector<ZipDirEntry>>(ReadZipDirectory(platform::FsName(path)));
  // No hdrcharset is set, so libarchive copies unflagged names raw; flagged
  // names come as UTF-8 under the engine's locale. Either way the bytes are
  // those of the directory, and the directory's flags say which coding.
  auto hook = [dir](struct archive*, struct archive_entry*, EntryInfo& info) {
    for (auto& d : *dir) {
      if (d.used || d.rawName != info.name) continue;
      d.used = true;
      info.nameIsUtf8 = (d.flags & 0x0800) != 0;
      info.crc = d.crc;
      info.compressedSize = d.compressedSize;
      info.method = ZipMethodName(d.method);
      if (d.flags & 0x0001) info.encrypted = true;
      return;
    }
    info.method = "zip";
  };
  return std::make_unique<LibarchiveReader>(a, hook);
}

}  // namespace arc
