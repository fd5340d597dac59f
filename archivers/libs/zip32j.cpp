// ZIP32J.DLL: the creating ZIP library. Zip answers ERROR_NOT_SUPPORT until
// archive creation exists; the listing entries (UnZipOpenArchive...) read
// ZIP archives.
#include "archivers/engine/library_exports.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenZipReader}, &arc::ParseZipCommand};
}

ARC_EXPORT_NOT_SUPPORTED(Zip)
ARC_EXPORT_LISTING(UnZip, kLibrary)
