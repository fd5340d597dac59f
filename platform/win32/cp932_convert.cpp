// SPDX-License-Identifier: MIT
// CP932 <-> UTF-8 through the Win32 code-page functions, code page 932
// named explicitly so that the result does not depend on the system's
// language.
#include "platform/cp932.h"
#include "platform/win32/wide.h"

namespace platform {

bool TryCp932ToUtf8(std::string_view cp932, std::string& out) {
  if (IsAscii(cp932)) {
    out.assign(cp932);
    return true;
  }
  bool exact = true;
  out = win32::WideToUtf8(win32::Cp932ToWide(cp932, &exact));
  return exact;
}

bool TryUtf8ToCp932(std::string_view utf8, std::string& out) {
  if (!TryUtf8ToCp932AllowingTwins(utf8, out)) return false;
  if (IsAscii(utf8)) return true;
  // A twin converts without complaint and comes back as the other character.
  std::string back;
  return TryCp932ToUtf8(out, back) && back == utf8;
}

bool TryUtf8ToCp932AllowingTwins(std::string_view utf8, std::string& out) {
  if (IsAscii(utf8)) {
    out.assign(utf8);
    return true;
  }
  bool exact = true;
  std::wstring wide = win32::Utf8ToWide(utf8);
  // A bad UTF-8 sequence came back as U+FFFD: that is a loss too.
  std::string reencoded = win32::WideToUtf8(wide);
  if (reencoded != utf8) exact = false;
  out = win32::WideToCp932(wide, &exact);
  return exact;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  TryCp932ToUtf8(cp932, out);
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  TryUtf8ToCp932(utf8, out);
  return out;
}

}  // namespace platform
