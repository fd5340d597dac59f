// SPDX-License-Identifier: MIT
#pragma once
// The part of iconv that the platform layer uses (decoding CP932, UTF-8
// and CP949 to UTF-32LE), over MultiByteToWideChar, for Windows where the
// C library has no iconv. Same contract: whole characters only, EILSEQ for
// a sequence that is no character, EINVAL for one cut at the end of the
// input, E2BIG when the output is full.
#include <cstddef>

typedef struct BmsIconv* iconv_t;

iconv_t iconv_open(const char* to, const char* from);
std::size_t iconv(iconv_t cd, char** in, std::size_t* inLeft, char** out, std::size_t* outLeft);
int iconv_close(iconv_t cd);
