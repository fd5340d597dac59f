// SPDX-License-Identifier: MIT
#pragma once
// CRC-32 as ZIP, ARJ, RAR and gzip use it, the one function every format of
// the engine checks its data with.
#include <cstddef>
#include <cstdint>

namespace arc {

// The CRC of `size` bytes at `data`, continuing `crc` (0 to start afresh):
// Crc32(Crc32(0, a), b) is the CRC of a followed by b.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

}  // namespace arc
