// SPDX-License-Identifier: MIT
// ...SetUnicodeMode and ...GetUnicodeMode: the entries behind the export
// macro ARC_EXPORT_UNICODE (library_exports.h).
#include "archivers/shared/library_entries.h"
#include "archivers/shared/unicode_mode.h"

namespace arc {

int RunSetUnicodeMode(int on) noexcept {
  SetUnicodeMode(on != 0);
  return 1;
}

int RunGetUnicodeMode() noexcept { return UnicodeMode() ? 1 : 0; }

}  // namespace arc
