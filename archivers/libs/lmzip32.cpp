// LMZIP32.DLL: ZIP extraction under the lower-case names (Unzip,
// UnzipOpenArchive...), and Zip, which answers ERROR_NOT_SUPPORT until
// archive creation exists.
#include "archivers/engine/library_exports.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenZipReader}, &arc::ParseZipCommand};
}

ARC_EXPORT_COMMAND(Unzip, kLibrary)
ARC_EXPORT_LISTING(Unzip, kLibrary)
ARC_EXPORT_OWNER(Unzip)
ARC_EXPORT_NOT_SUPPORTED(Zip)
