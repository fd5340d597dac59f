// On Windows libarchive takes its code page from the CRT locale, not from a
// UTF-8 C locale as on Linux. In the "C" locale it reads a raw name's bytes
// one by one as characters, so its clean-ups (ZIP's "\" to "/") split
// double-byte characters whose second byte is 0x5C, such as "ソ". Inside the
// engine the calling thread therefore uses code page 932: raw names still
// come through as their bytes (ANSI and OEM code page agree), and the
// clean-ups see whole characters. The caller's locale is restored after.
#include "archivers/shared/utf8_locale_scope.h"

#include <clocale>
#include <string>

namespace arc {

namespace {
thread_local int t_depth = 0;
thread_local int t_previousMode = 0;
thread_local std::string t_previousLocale;
}  // namespace

Utf8LocaleScope::Utf8LocaleScope() {
  if (t_depth++ > 0) return;
  t_previousMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  t_previousLocale = current ? current : "C";
  std::setlocale(LC_CTYPE, "Japanese_Japan.932");
}

Utf8LocaleScope::~Utf8LocaleScope() {
  if (--t_depth > 0) return;
  std::setlocale(LC_CTYPE, t_previousLocale.c_str());
  if (t_previousMode == _DISABLE_PER_THREAD_LOCALE) _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
}

}  // namespace arc
