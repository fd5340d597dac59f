// UNARJ32J.DLL: ARJ archives, driven with the LHA command syntax.
#include "archivers/shared/library_exports.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenArjReader}, &arc::ParseLhaCommand};
}

ARC_EXPORT_COMMAND(Unarj, kLibrary)
ARC_EXPORT_LISTING(Unarj, kLibrary)
ARC_EXPORT_OWNER(Unarj)
