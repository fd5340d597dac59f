// SPDX-License-Identifier: MIT
// RAR 5 through libarchive. RAR 5 stores every name as UTF-8. libarchive
// 3.6 neither flags encrypted entries nor reports the stored CRC, nor
// notices an archive cut after its last entry, so a walk over the headers
// supplies all three.
#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "archiver_api.h"
#include "archivers/shared/incomplete_set_reader.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/shared/volume_chain.h"
#include "archivers/shared/volume_names.h"
#include "archivers/rar/rar5_scan.h"
#include "platform/input_file.h"
#include "platform/paths.h"
#ifdef _WIN32
#include "platform/win32/wide.h"
#include "archivers/rar/rar_format.h"
#endif

namespace arc {

namespace {

// The volumes that follow a first volume whose end says more come, by
// name, as long as each says so; `missing` gets the name of the first one
// not there. Their file headers join `scan`: a part that goes on from the
// previous volume is the same entry, whose last part holds the whole CRC.
std::vector<std::string> FollowingVolumes(const std::string& path, Rar5Scan& scan, std::string& missing) {
  std::vector<std::string> volumes{path};
  bool more = scan.volume && scan.moreVolumes;
  while (more) {
    std::string next = NextVolumeName(volumes.back());
    if (next.empty() || !platform::RegularFileSize(next)) {
      missing = next.empty() ? platform::ExtractFileName(volumes.back()) + " (next)" : next;
      break;
    }
    Rar5Scan part = ScanRar5(platform::FsName(next));
    for (const Rar5FileFacts& f : part.files) {
      if (f.splitBefore && !scan.files.empty() && scan.files.back().splitAfter) {
        scan.files.back().crc = f.crc;
        scan.files.back().splitAfter = f.splitAfter;
        scan.files.back().encrypted |= f.encrypted;
      } else {
        scan.files.push_back(f);
      }
    }
    scan.cutShort |= part.cutShort;
    scan.headersEncrypted |= part.headersEncrypted;
    volumes.push_back(next);
    more = part.moreVolumes;
  }
  return volumes;
}

}  // namespace

std::unique_ptr<ArchiveReader> OpenRar5Reader(const std::string& path) {
  auto scan = std::make_shared<Rar5Scan>(ScanRar5(platform::FsName(path)));
  std::string missing;
  std::vector<std::string> volumes = FollowingVolumes(path, *scan, missing);
  if (scan->headersEncrypted) throw ArcError(ERROR_PASSWORD_FILE, "the archive's headers are encrypted");
  auto formats = [](struct archive* h) { archive_read_support_format_rar5(h); };
  struct archive* a = volumes.size() > 1 ? OpenVolumeSet(volumes, formats) : OpenLibarchive(path, formats);
  auto index = std::make_shared<std::size_t>(0);
  auto hook = [scan, index](struct archive*, [[maybe_unused]] struct archive_entry* e, EntryInfo& info) {
#ifdef _WIN32
    // There libarchive hands names out in the engine's code page 932; the
    // wide form is the stored UTF-8 name whole.
    if (const wchar_t* wide = archive_entry_pathname_w(e)) info.name = platform::win32::WideToUtf8(wide);
#endif
    info.nameIsUtf8 = true;
    info.method = "rar5";
    // libarchive lists the file headers in archive order, one entry each.
    if (*index < scan->files.size()) {
      const Rar5FileFacts& facts = scan->files[*index];
      if (facts.encrypted) info.encrypted = true;
      if (facts.crc != 0) {
        info.crc = facts.crc;
        info.crcKnown = true;
      }
    }
    ++*index;
  };
  auto reader = std::make_unique<LibarchiveReader>(a, hook, !scan->solid);
  reader->CheckAgainstHeaderCrc();
  if (scan->cutShort) reader->EndIsCutShort();
  if (!missing.empty()) return std::make_unique<IncompleteSetReader>(std::move(reader), missing);
  return reader;
}

}  // namespace arc
