// RAR 5 through libarchive. RAR 5 stores every name as UTF-8.
#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "archiver_api.h"
#include "archivers/engine/libarchive_reader.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenRar5Reader(const std::string& path) {
  struct archive* a = OpenLibarchive(path, [](struct archive* h) { archive_read_support_format_rar5(h); });
  auto hook = [](struct archive*, struct archive_entry*, EntryInfo& info) {
    info.nameIsUtf8 = true;
    info.method = "rar5";
  };
  return std::make_unique<LibarchiveReader>(a, hook);
}

}  // namespace arc
