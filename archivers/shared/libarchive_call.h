// SPDX-License-Identifier: MIT
#pragma once
// Opened around every call into libarchive's reading: the thread's locale
// for names (Utf8LocaleScope), and errno cleared. libarchive ends the whole
// process ("Fatal Internal Error in libarchive: No memory", exit 1) when a
// name conversion fails while errno happens to hold ENOMEM, and errno
// outlives the archive that set it: a damaged RAR 5 block that runs past its
// entry's data makes libarchive ask for SIZE_MAX bytes, the allocation fails
// harmlessly, and the next unconvertible name on that thread, in whatever
// archive, ended the program.
#include <cerrno>

#include "archivers/shared/utf8_locale_scope.h"

namespace arc {

class LibarchiveCall {
 public:
  LibarchiveCall() { errno = 0; }

 private:
  Utf8LocaleScope locale_;
};

}  // namespace arc
