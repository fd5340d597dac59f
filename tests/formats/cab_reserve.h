// SPDX-License-Identifier: MIT
#pragma once
// Rewrites a single cabinet so that it carries reserve fields (per cabinet,
// per folder and per data block), the layout some packers write and some
// readers refuse. The reserved data blocks are zeros in multiples of four
// bytes, so the stored block checksums stay valid.
#include <string>

namespace fmt_test {

// Empty when `cab` is not a plain cabinet (no reserve, no neighbours).
std::string AddCabReserve(const std::string& cab);

}  // namespace fmt_test
