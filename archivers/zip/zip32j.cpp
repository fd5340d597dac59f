// SPDX-License-Identifier: MIT
// ZIP32J.DLL: the creating ZIP library. Zip creates, updates, freshens and
// deletes entries and fixes self-extractors (-A); the listing entries
// (UnZipOpenArchive...) read ZIP archives.
#include "archivers/shared/library_exports.h"
#include "archivers/zip/zip_archive_update.h"
#include "archivers/zip/zip_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenZipReader}, &arc::ParseZipCommand};
}

ARC_EXPORT_CREATING(Zip, &arc::ParseZipCreateCommand, &arc::RunZipCreate)
ARC_EXPORT_LISTING(UnZip, kLibrary)
ARC_EXPORT_EXTRACT_MEM(UnZip, kLibrary, &arc::OpenZipMemoryReader)
ARC_EXPORT_INFO(UnZip, kLibrary)
// The entries about the library under the name of its command entry.
ARC_EXPORT_STATE(Zip, 300, arc::kCommandEntry | arc::kListingEntries | arc::kInfoEntries)
ARC_EXPORT_UNICODE(Zip)
