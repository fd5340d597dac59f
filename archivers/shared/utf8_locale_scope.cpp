// SPDX-License-Identifier: MIT
#include "archivers/shared/utf8_locale_scope.h"

namespace arc {

namespace {
locale_t Utf8Locale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}
}  // namespace

Utf8LocaleScope::Utf8LocaleScope() {
  if (locale_t l = Utf8Locale()) previous_ = uselocale(l);
}

Utf8LocaleScope::~Utf8LocaleScope() {
  if (previous_) uselocale(previous_);
}

}  // namespace arc
