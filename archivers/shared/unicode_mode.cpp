// SPDX-License-Identifier: MIT
#include "archivers/shared/unicode_mode.h"

#include "platform/cp932.h"
#include "platform/path_text.h"

namespace arc {

namespace {
thread_local bool t_unicode = false;
}

bool UnicodeMode() { return t_unicode; }
void SetUnicodeMode(bool on) { t_unicode = on; }

std::string FromCaller(std::string_view text) {
  return t_unicode ? platform::PathFromUtf8(text) : std::string(text);
}

std::string ForCaller(std::string_view text) { return t_unicode ? platform::PathUtf8(text) : std::string(text); }

}  // namespace arc
