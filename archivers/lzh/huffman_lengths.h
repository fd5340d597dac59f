// SPDX-License-Identifier: MIT
#pragma once
// Code lengths of a Huffman code limited to `maxLength` bits, for the
// encoders that store canonical codes (shorter codes first, equal lengths
// in symbol order).
#include <cstdint>
#include <vector>

namespace arc {

// One length per symbol; 0 for symbols of frequency 0. When fewer than two
// symbols occur the lengths are all 0 (the caller stores a one-symbol tree).
std::vector<std::uint8_t> HuffmanLengths(const std::vector<std::uint32_t>& freq, int maxLength);

// The canonical codes for those lengths (right-aligned, MSB first).
std::vector<std::uint16_t> CanonicalCodes(const std::vector<std::uint8_t>& lengths);

}  // namespace arc
