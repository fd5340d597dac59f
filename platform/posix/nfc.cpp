// SPDX-License-Identifier: MIT
#include "platform/nfc.h"

#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <vector>

#include "platform/cp932.h"

namespace platform {

namespace {

// Length of the valid UTF-8 sequence at i, 0 when there is none.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) return 1;
  std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  unsigned char c1 = static_cast<unsigned char>(s[i + 1]);
  if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90))
    return 0;
  return len;
}

// NFC of a run of valid UTF-8; the run itself when ICU cannot help.
std::string ComposeRun(std::string_view run) {
  if (IsAscii(run)) return std::string(run);
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  if (U_FAILURE(status)) return std::string(run);
  std::vector<UChar> in(run.size() + 1), out(run.size() * 3 + 16);
  int32_t inLen = 0;
  u_strFromUTF8(in.data(), static_cast<int32_t>(in.size()), &inLen, run.data(), static_cast<int32_t>(run.size()),
                &status);
  if (U_FAILURE(status)) return std::string(run);
  if (unorm2_isNormalized(nfc, in.data(), inLen, &status) && U_SUCCESS(status)) return std::string(run);
  status = U_ZERO_ERROR;
  int32_t outLen = unorm2_normalize(nfc, in.data(), inLen, out.data(), static_cast<int32_t>(out.size()), &status);
  if (U_FAILURE(status)) return std::string(run);
  std::string result(static_cast<std::size_t>(outLen) * 3 + 4, '\0');
  int32_t bytes = 0;
  u_strToUTF8(result.data(), static_cast<int32_t>(result.size()), &bytes, out.data(), outLen, &status);
  if (U_FAILURE(status)) return std::string(run);
  result.resize(static_cast<std::size_t>(bytes));
  return result;
}

}  // namespace

std::string ToNfc(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  std::size_t runStart = 0, i = 0;
  while (i < utf8.size()) {
    std::size_t len = SequenceLength(utf8, i);
    if (len > 0) {
      i += len;
      continue;
    }
    out += ComposeRun(utf8.substr(runStart, i - runStart));
    out += utf8[i];
    runStart = ++i;
  }
  out += ComposeRun(utf8.substr(runStart));
  return out;
}

}  // namespace platform
