#pragma once
// libarchive converts entry names through the calling thread's locale. The
// host runs in the "C" locale, where UTF-8 names cannot be converted and
// are dropped; inside the engine we switch the thread to C.UTF-8 so that
// names come through byte for byte (UTF-8 stays UTF-8, other bytes are
// copied raw), and restore the caller's locale afterwards.
#include <locale.h>

namespace arc {

class Utf8LocaleScope {
 public:
  Utf8LocaleScope();
  ~Utf8LocaleScope();
  Utf8LocaleScope(const Utf8LocaleScope&) = delete;
  Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

 private:
  locale_t previous_ = nullptr;
};

}  // namespace arc
