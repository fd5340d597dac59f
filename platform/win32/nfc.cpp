// SPDX-License-Identifier: MIT
// NFC on Windows through the system's NormalizeString.
#include "platform/nfc.h"

#include "platform/cp932.h"
#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace platform {

std::string ToNfc(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::wstring wide = win32::Utf8ToWide(utf8);
  // Text that is no valid UTF-8 is kept as it is.
  if (win32::WideToUtf8(wide) != utf8) return std::string(utf8);
  int n = NormalizeString(NormalizationC, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0);
  for (int attempt = 0; n > 0 && attempt < 4; ++attempt) {
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    int got = NormalizeString(NormalizationC, wide.c_str(), static_cast<int>(wide.size()), out.data(), n);
    if (got > 0) {
      out.resize(static_cast<std::size_t>(got));
      return win32::WideToUtf8(out);
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    n = -got;
  }
  return std::string(utf8);
}

}  // namespace platform
