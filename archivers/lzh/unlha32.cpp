// SPDX-License-Identifier: MIT
// UNLHA32.DLL: LZH archives, LHA command syntax; extracts (x, e) and
// creates or changes archives (a, u, f, d) with our own LZH writer.
#include "archivers/shared/library_exports.h"
#include "archivers/lzh/lzh_archive_update.h"
#include "archivers/lzh/lzh_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenLzhReader}, &arc::ParseLhaCommand, &arc::ParseLhaCreateCommand,
                               &arc::RunLzhCreate};
}

ARC_EXPORT_COMMAND(Unlha, kLibrary)
ARC_EXPORT_LISTING(Unlha, kLibrary)
ARC_EXPORT_EXTRACT_MEM(Unlha, kLibrary, nullptr)
ARC_EXPORT_OWNER(Unlha)
ARC_EXPORT_INFO(Unlha, kLibrary)
ARC_EXPORT_STATE(Unlha, 300, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)
ARC_EXPORT_UNICODE(Unlha)
