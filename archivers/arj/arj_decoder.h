// SPDX-License-Identifier: MIT
#pragma once
// The ARJ compression methods: 1 to 3 (LZ77 with Huffman-coded blocks; the
// three differ only in how hard the packer searched) and 4 (LZ77 with a
// simple fixed coding). Decoding streams through a fixed window; nothing is
// sized from header values.
#include <cstdint>
#include <functional>

#include "archivers/arj/arj_bits.h"

namespace arc::arj {

using Sink = std::function<bool(const void* data, std::size_t size)>;

// Decodes `originalSize` bytes of `method` data pulled from `source` and
// hands them to `sink` in pieces. False when the sink asked to stop.
// Throws ArcError(ERROR_BROKEN_DATA) on damaged data, ERROR_METHOD for a
// method other than 1 to 4.
bool Decode(int method, const ByteSource& source, std::uint32_t originalSize, const Sink& sink);

}  // namespace arc::arj
