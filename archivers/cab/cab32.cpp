// SPDX-License-Identifier: MIT
// CAB32.DLL: cabinets (MSZIP, LZX, stored), CAB32 command syntax; -a
// makes MSZIP cabinets.
#include "archivers/cab/cab_create.h"
#include "archivers/shared/library_exports.h"
#include "archivers/cab/cab_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenCabReader}, &arc::ParseCabCommand, &arc::ParseCabCreateCommand,
                               &arc::RunCabCreate};
}

ARC_EXPORT_COMMAND(Cab, kLibrary)
ARC_EXPORT_LISTING(Cab, kLibrary)
ARC_EXPORT_EXTRACT_MEM(Cab, kLibrary, nullptr)
ARC_EXPORT_OWNER(Cab)
ARC_EXPORT_INFO(Cab, kLibrary)
ARC_EXPORT_STATE(Cab, 100, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)
ARC_EXPORT_UNICODE(Cab)
