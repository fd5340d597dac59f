// SPDX-License-Identifier: MIT
// UNARJ32J.DLL: ARJ archives, driven with the LHA command syntax.
#include "archivers/shared/library_exports.h"
#include "archivers/arj/arj_format.h"
#include "archivers/lzh/lzh_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenArjReader}, &arc::ParseLhaCommand};
}

ARC_EXPORT_COMMAND(Unarj, kLibrary)
ARC_EXPORT_LISTING(Unarj, kLibrary)
ARC_EXPORT_EXTRACT_MEM(Unarj, kLibrary, nullptr)
ARC_EXPORT_OWNER(Unarj)
ARC_EXPORT_INFO(Unarj, kLibrary)
ARC_EXPORT_STATE(Unarj, 100, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)
ARC_EXPORT_UNICODE(Unarj)
