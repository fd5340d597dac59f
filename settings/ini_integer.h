// SPDX-License-Identifier: MIT
#pragma once
// The integer text rules of the settings file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "0x1F" / "0X1F" (longer than two characters) read as "$1F"; then leading
// blanks, one sign, and decimal digits or hexadecimal digits after "$", "x"
// or "X". Anything else, an empty text, or a value outside the signed
// 32-bit range: nullopt.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// Decimal, "-" for negatives, no blanks, no leading zeros.
std::string FormatIniInteger(std::int32_t value);
