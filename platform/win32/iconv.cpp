// SPDX-License-Identifier: MIT
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"

struct BmsIconv {
  UINT codePage;
};

namespace {
UINT CodePageOf(const char* name) {
  std::string n(name);
  for (auto& c : n) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  if (n == "CP932" || n == "SHIFT_JIS" || n == "SJIS") return 932;
  if (n == "UTF-8" || n == "UTF8") return CP_UTF8;
  if (n == "CP949" || n == "EUC-KR" || n == "UHC") return 949;
  return 0;
}

// Bytes of the character that starts at p; 0 when it is cut by the end.
std::size_t CharLength(UINT cp, const unsigned char* p, std::size_t left) {
  std::size_t n = 1;
  if (cp == CP_UTF8) {
    n = p[0] < 0x80 ? 1 : p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 1;
  } else if (IsDBCSLeadByteEx(cp, p[0])) {
    n = 2;
  }
  return n <= left ? n : 0;
}
}  // namespace

iconv_t iconv_open(const char* to, const char* from) {
  UINT cp = CodePageOf(from);
  if (std::strcmp(to, "UTF-32LE") != 0 || cp == 0) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  return new BmsIconv{cp};
}

int iconv_close(iconv_t cd) {
  delete cd;
  return 0;
}

std::size_t iconv(iconv_t cd, char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
  if (!in || !*in) return 0;  // a reset: no shift state here
  while (*inLeft > 0) {
    auto* p = reinterpret_cast<const unsigned char*>(*in);
    std::size_t n = CharLength(cd->codePage, p, *inLeft);
    if (n == 0) {
      errno = EINVAL;
      return static_cast<std::size_t>(-1);
    }
    char32_t cp = p[0];
    if (p[0] >= 0x80) {
      wchar_t w[2];
      int got = MultiByteToWideChar(cd->codePage, MB_ERR_INVALID_CHARS, *in, static_cast<int>(n), w, 2);
      if (got == 1 && !(w[0] >= 0xD800 && w[0] <= 0xDFFF)) {
        cp = w[0];
      } else if (got == 2 && w[0] >= 0xD800 && w[0] <= 0xDBFF && w[1] >= 0xDC00 && w[1] <= 0xDFFF) {
        cp = 0x10000 + ((static_cast<char32_t>(w[0]) - 0xD800) << 10) + (w[1] - 0xDC00);
      } else {
        errno = EILSEQ;
        return static_cast<std::size_t>(-1);
      }
    }
    if (*outLeft < 4) {
      errno = E2BIG;
      return static_cast<std::size_t>(-1);
    }
    auto* o = reinterpret_cast<unsigned char*>(*out);
    o[0] = static_cast<unsigned char>(cp);
    o[1] = static_cast<unsigned char>(cp >> 8);
    o[2] = static_cast<unsigned char>(cp >> 16);
    o[3] = static_cast<unsigned char>(cp >> 24);
    *out += 4;
    *outLeft -= 4;
    *in += n;
    *inLeft -= n;
  }
  return 0;
}
