// SPDX-License-Identifier: MIT
#pragma once
// CRC-16 as LZH stores it (polynomial 0xA001, reflected, initial value 0).
#include <cstddef>
#include <cstdint>

namespace arc {

std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size);

}  // namespace arc
