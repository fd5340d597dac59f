// SPDX-License-Identifier: MIT
// UNZIP32.DLL: ZIP archives, UnZip command syntax.
#include "archivers/shared/library_exports.h"
#include "archivers/zip/zip_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenZipReader}, &arc::ParseZipCommand};
}

ARC_EXPORT_COMMAND(UnZip, kLibrary)
ARC_EXPORT_LISTING(UnZip, kLibrary)
ARC_EXPORT_EXTRACT_MEM(UnZip, kLibrary, &arc::OpenZipMemoryReader)
ARC_EXPORT_OWNER(UnZip)
ARC_EXPORT_INFO(UnZip, kLibrary)
ARC_EXPORT_STATE(UnZip, 600, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)
ARC_EXPORT_UNICODE(UnZip)
