// SPDX-License-Identifier: MIT
#pragma once
// The -lh5- method of LHA: LZSS over an 8 KiB window (matches of 3 to 256
// bytes) whose commands are written in blocks, each with its own static
// Huffman trees: the temporary tree that codes the lengths of the
// character/length tree (510 codes), that tree itself, and the position
// tree (14 codes).
#include <cstddef>
#include <cstdint>
#include <string>

namespace arc {

// The compressed bytes of `size` bytes at `data`. Decoders stop after the
// original size, so the last byte is padded with zero bits.
std::string EncodeLh5(const std::uint8_t* data, std::size_t size);

}  // namespace arc
