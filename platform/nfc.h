// SPDX-License-Identifier: MIT
#pragma once
// One form of each name: macOS writes names decomposed ("カ" + U+3099),
// everything else composed. Names are written and compared composed (NFC).
#include <string>
#include <string_view>

namespace platform {

// The NFC form of UTF-8 text. Bytes that are no valid UTF-8 are kept as
// they are, and text around them is composed on its own.
std::string ToNfc(std::string_view utf8);

}  // namespace platform
