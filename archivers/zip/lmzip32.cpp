// SPDX-License-Identifier: MIT
// LMZIP32.DLL: ZIP extraction under the lower-case names (Unzip,
// UnzipOpenArchive...), and Zip, which creates and changes archives with
// the same switches as ZIP32J.DLL's ("-ru" adds newer files recursively).
#include "archivers/shared/library_exports.h"
#include "archivers/zip/zip_archive_update.h"
#include "archivers/zip/zip_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenZipReader}, &arc::ParseZipCommand};
}

ARC_EXPORT_COMMAND(Unzip, kLibrary)
ARC_EXPORT_LISTING(Unzip, kLibrary)
ARC_EXPORT_EXTRACT_MEM(Unzip, kLibrary, &arc::OpenZipMemoryReader)
ARC_EXPORT_OWNER(Unzip)
ARC_EXPORT_INFO(Unzip, kLibrary)
ARC_EXPORT_STATE(Unzip, 300, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)
ARC_EXPORT_CREATING(Zip, &arc::ParseZipCreateCommand, &arc::RunZipCreate)
ARC_EXPORT_UNICODE(Unzip)
