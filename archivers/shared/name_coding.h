// SPDX-License-Identifier: MIT
#pragma once
// How to read names from formats that do not say their coding (TAR).
#include <string_view>

namespace arc {

// True for well-formed UTF-8 that holds at least one non-ASCII character.
// Names written by a Japanese Windows tool are code page 932, whose byte
// runs are almost never valid UTF-8; names written on Linux are UTF-8.
bool LooksLikeUtf8(std::string_view s);

// True for well-formed UTF-8, plain ASCII included.
bool IsUtf8(std::string_view s);

}  // namespace arc
