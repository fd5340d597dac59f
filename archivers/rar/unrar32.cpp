// SPDX-License-Identifier: MIT
// UNRAR32.DLL: RAR 1.5 to 5, UNRAR32 command syntax.
#include "archivers/shared/library_diagnostics.h"
#include "archivers/shared/library_exports.h"
#include "archivers/rar/rar_format.h"

namespace {
const arc::LibraryDef kLibrary{{&arc::OpenRarReader}, &arc::ParseRarCommand};

// libunarr, its RAR 1.5-4 reader, writes warnings to stderr: routed away
// from the moment the library is loaded (it is linked never to unload).
const bool kDiagnosticsRouted = [] {
  arc::RouteLibraryDiagnostics();
  return true;
}();
}  // namespace

ARC_EXPORT_COMMAND(Unrar, kLibrary)
ARC_EXPORT_LISTING(Unrar, kLibrary)
ARC_EXPORT_EXTRACT_MEM(Unrar, kLibrary, nullptr)
ARC_EXPORT_OWNER(Unrar)
ARC_EXPORT_INFO(Unrar, kLibrary)
ARC_EXPORT_STATE(Unrar, 100, arc::kCommandEntry | arc::kListingEntries | arc::kOwnerEntries | arc::kInfoEntries)
ARC_EXPORT_UNICODE(Unrar)
