// SPDX-License-Identifier: MIT
// tar32.dll: TAR, and TAR or a single file compressed with gzip, bzip2 or
// compress; tar32 command syntax; TarGetArchiveType. Command c creates
// TAR, TAR+gzip and TAR+bzip2 archives.
#include <new>

#include "archivers/shared/library_exports.h"
#include "archivers/tar/tar_create.h"
#include "archivers/tar/tar_family.h"
#include "archivers/tar/tar_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenTarReader}, &arc::ParseTarCommand, &arc::ParseTarCreateCommand,
                               &arc::RunTarCreate};
}

ARC_EXPORT_COMMAND(Tar, kLibrary)
ARC_EXPORT_LISTING(Tar, kLibrary)
ARC_EXPORT_EXTRACT_MEM(Tar, kLibrary, nullptr)
ARC_EXPORT_OWNER(Tar)
ARC_EXPORT_INFO(Tar, kLibrary)
ARC_EXPORT_STATE(Tar, 240, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)

ARC_EXPORT int ARC_API TarGetArchiveType(const char* fileName) noexcept {
  try {
    return fileName ? arc::DetectTarArchiveType(fileName) : ARCHIVETYPE_NONE;
  } catch (const platform::Error&) {
    return ARCHIVETYPE_NONE;
  } catch (const std::bad_alloc&) {
    return ARCHIVETYPE_NONE;
  }
}
ARC_EXPORT_UNICODE(Tar)
