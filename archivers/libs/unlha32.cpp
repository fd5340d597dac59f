// UNLHA32.DLL: LZH archives, LHA command syntax.
#include "archivers/engine/library_exports.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenLzhReader}, &arc::ParseLhaCommand};
}

ARC_EXPORT_COMMAND(Unlha, kLibrary)
ARC_EXPORT_LISTING(Unlha, kLibrary)
ARC_EXPORT_OWNER(Unlha)
