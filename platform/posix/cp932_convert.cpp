// SPDX-License-Identifier: MIT
// CP932 <-> UTF-8 through iconv.
#include <iconv.h>

#include <cerrno>
#include <mutex>

#include "platform/cp932.h"

namespace platform {

namespace {

// iconv descriptors are not thread-safe; one per direction behind a lock.
struct Converter {
  iconv_t cd;
  std::mutex m;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
};

Converter& ToUtf8() {
  static Converter c("UTF-8", "CP932");
  return c;
}
Converter& ToCp932() {
  static Converter c("CP932", "UTF-8");
  return c;
}

// Converts as much as it can; each unconvertible input sequence is skipped
// (skipLen bytes or one byte) and replaced by `replacement`. True when
// nothing had to be replaced; whether the result converts back to the input
// is a separate question (see TryUtf8ToCp932).
bool Convert(Converter& conv, std::string_view in, std::string& out, std::string_view replacement, bool utf8Input) {
  std::lock_guard<std::mutex> lock(conv.m);
  out.clear();
  if (conv.cd == reinterpret_cast<iconv_t>(-1)) return false;
  bool exact = true;
  iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char buf[4096];
  while (srcLeft > 0) {
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    std::size_t r = iconv(conv.cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, dst - buf);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      exact = false;
      out.append(replacement);
      std::size_t skip = 1;
      if (utf8Input) {
        unsigned char c = static_cast<unsigned char>(*src);
        skip = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      } else if (IsLeadByte(static_cast<unsigned char>(*src)) && srcLeft >= 2) {
        skip = 2;
      }
      if (skip > srcLeft) skip = srcLeft;
      src += skip;
      srcLeft -= skip;
      iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return exact;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  std::string out;
  Convert(ToUtf8(), cp932, out, "\xEF\xBF\xBD", false);
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  Convert(ToCp932(), utf8, out, "?", true);
  return out;
}

bool TryCp932ToUtf8(std::string_view cp932, std::string& out) {
  if (IsAscii(cp932)) {
    out.assign(cp932);
    return true;
  }
  return Convert(ToUtf8(), cp932, out, "\xEF\xBF\xBD", false);
}

bool TryUtf8ToCp932(std::string_view utf8, std::string& out) {
  if (!TryUtf8ToCp932AllowingTwins(utf8, out)) return false;
  if (IsAscii(utf8)) return true;
  // A twin converts without complaint and comes back as the other character.
  std::string back;
  return Convert(ToUtf8(), out, back, "\xEF\xBF\xBD", false) && back == utf8;
}

bool TryUtf8ToCp932AllowingTwins(std::string_view utf8, std::string& out) {
  if (IsAscii(utf8)) {
    out.assign(utf8);
    return true;
  }
  return Convert(ToCp932(), utf8, out, "?", true);
}

}  // namespace platform
