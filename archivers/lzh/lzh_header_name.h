// SPDX-License-Identifier: MIT
#pragma once
// Entry names of LZH headers, read from the raw header bytes. liblhasa turns
// every 0x5C byte of a level 0/1 name into "/", which breaks code page 932
// names such as "ソ" (0x83 0x5C), and lower-cases all-capital DOS names; so
// the name is taken from the header itself.
#include <cstddef>
#include <cstdint>
#include <string>

namespace arc {

// CP932, "/" between folders (a "\" that is a whole character, or the
// 0xFF separator of the folder field, becomes "/"). `level` is the header
// level; raw is the whole header as stored.
std::string LzhHeaderName(const std::uint8_t* raw, std::size_t rawLen, int level);

// "\" as a whole CP932 character becomes "/".
std::string SlashesForBackslashes(std::string s);

}  // namespace arc
