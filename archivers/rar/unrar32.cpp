// UNRAR32.DLL: RAR 1.5 to 5, UNRAR32 command syntax.
#include "archivers/shared/library_exports.h"
#include "archivers/rar/rar_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenRarReader}, &arc::ParseRarCommand};
}

ARC_EXPORT_COMMAND(Unrar, kLibrary)
ARC_EXPORT_LISTING(Unrar, kLibrary)
ARC_EXPORT_OWNER(Unrar)
