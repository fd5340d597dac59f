// SPDX-License-Identifier: MIT
// 7-ZIP32.DLL: 7z archives, 7-Zip command syntax (extraction only).
#include "archivers/7z/7z_format.h"
#include "archivers/shared/library_exports.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenSevenZipReader}, &arc::ParseSevenZipCommand};
}

ARC_EXPORT_COMMAND(SevenZip, kLibrary)
ARC_EXPORT_LISTING(SevenZip, kLibrary)
ARC_EXPORT_EXTRACT_MEM(SevenZip, kLibrary, nullptr)
ARC_EXPORT_OWNER(SevenZip)
ARC_EXPORT_INFO(SevenZip, kLibrary)
ARC_EXPORT_STATE(SevenZip, 922, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)
ARC_EXPORT_UNICODE(SevenZip)
