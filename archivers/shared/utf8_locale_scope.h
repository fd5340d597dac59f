// SPDX-License-Identifier: MIT
#pragma once
// libarchive converts entry names through the calling thread's locale. The
// host runs in the "C" locale, where UTF-8 names cannot be converted and
// are dropped; inside the engine we switch the thread to C.UTF-8 so that
// names come through byte for byte (UTF-8 stays UTF-8, other bytes are
// copied raw), and restore the caller's locale afterwards.
#include <locale.h>

#include "platform/no_copy.h"

namespace arc {

class Utf8LocaleScope : NoCopy {
 public:
  Utf8LocaleScope();
  ~Utf8LocaleScope();

 private:
  locale_t previous_ = nullptr;
};

}  // namespace arc
