// SPDX-License-Identifier: MIT
// 7-ZIP32.DLL: 7z archives, 7-Zip command syntax (extraction only).
#include "archivers/7z/7z_format.h"
#include "archivers/shared/library_exports.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenSevenZipReader}, &arc::ParseSevenZipCommand};
}

ARC_EXPORT_COMMAND(SevenZip, kLibrary)
ARC_EXPORT_LISTING(SevenZip, kLibrary)
ARC_EXPORT_OWNER(SevenZip)
ARC_EXPORT_STATE(SevenZip, 100)
ARC_EXPORT_UNICODE(SevenZip)
