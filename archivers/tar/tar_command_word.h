// SPDX-License-Identifier: MIT
#pragma once
// The command word of a tar32 line: "x", or tar's clustered forms with or
// without a "-": "xvf", "-zxvf", "-tvf", "cjvf".
#include <string_view>

namespace arc {

struct TarCommandWord {
  char command = 0;  // 'x' extract, 't' list, 'c' create
  char filter = 0;   // 'z' gzip, 'j' bzip2, 'Z' compress; 0 when none is named
};

// False unless the word is one command letter (c, x or t) with any of the
// modifiers v (verbose), f (the archive follows), p (keep permissions) and
// one of z, j, Z; "--" words are never command words.
bool ReadTarCommandWord(std::string_view word, TarCommandWord& out);

}  // namespace arc
