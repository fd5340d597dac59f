// SPDX-License-Identifier: MIT
// No dependency of the Windows engine writes to stderr: RAR 1.5-4 is read
// through libarchive there.
#include "archivers/shared/library_diagnostics.h"

namespace arc {

void RouteLibraryDiagnostics() {}

LibraryDiagnosticsScope::LibraryDiagnosticsScope() = default;

LibraryDiagnosticsScope::~LibraryDiagnosticsScope() = default;

HostCallScope::HostCallScope() = default;

HostCallScope::~HostCallScope() = default;

}  // namespace arc
