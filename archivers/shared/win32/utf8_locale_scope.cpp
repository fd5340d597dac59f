// On Windows libarchive takes its code page from the CRT locale, which the
// programs leave at "C": entry names then come through as their raw bytes,
// as the Linux engine gets them under C.UTF-8. Nothing to switch.
#include "archivers/shared/utf8_locale_scope.h"

namespace arc {

Utf8LocaleScope::Utf8LocaleScope() = default;
Utf8LocaleScope::~Utf8LocaleScope() = default;

}  // namespace arc
