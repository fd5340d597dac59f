// SPDX-License-Identifier: MIT
// On Windows libarchive takes its code page from the CRT locale, not from a
// UTF-8 C locale as on Linux. In the "C" locale it reads a raw name's bytes
// one by one as characters, so its clean-ups (ZIP's "\" to "/") split
// double-byte characters whose second byte is 0x5C, such as "ソ". A thread
// that enters the engine therefore gets a locale of its own in code page
// 932, once, and keeps it: raw names still come through as their bytes (ANSI
// and OEM code page agree), and the clean-ups see whole characters.
//
// Switching back and forth around every entry is what this once did, but the
// CRT's locale changes are not safe on two threads at once, even with
// per-thread locales (they copy from shared locale data): a drop on two
// cores unpacks on two threads, and the program crashed now and then. The
// one change per thread is made under a lock. Nothing outside the engine
// reads the CRT locale (text is converted with code page 932 named), so
// keeping it costs the caller nothing.
#include "archivers/shared/utf8_locale_scope.h"

#include <clocale>
#include <mutex>

namespace arc {

namespace {
thread_local bool t_inCodePage932 = false;
std::mutex g_localeChanges;
}  // namespace

Utf8LocaleScope::Utf8LocaleScope() {
  if (t_inCodePage932) return;
  std::lock_guard<std::mutex> lock(g_localeChanges);
  _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
  std::setlocale(LC_CTYPE, "Japanese_Japan.932");
  t_inCodePage932 = true;
}

Utf8LocaleScope::~Utf8LocaleScope() = default;

}  // namespace arc
