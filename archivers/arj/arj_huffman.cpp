// SPDX-License-Identifier: MIT
#include "archivers/arj/arj_huffman.h"

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"

namespace arc::arj {

void Huffman::BuildSingle(int symbol) {
  single_ = symbol;
  lengths_.clear();
}

void Huffman::Build(const std::uint8_t* lengths, int count, int tableBits) {
  single_ = -1;
  tableBits_ = tableBits;
  lengths_.assign(lengths, lengths + count);
  for (int& c : counts_) c = 0;
  for (int i = 0; i < count; ++i) {
    if (lengths[i] > 16) throw ArcError(ERROR_BROKEN_DATA, "bad code length");
    ++counts_[lengths[i]];
  }
  counts_[0] = 0;
  // Complete means the code space of 16-bit codes is filled exactly.
  std::uint32_t space = 0;
  for (int len = 1; len <= 16; ++len) space += static_cast<std::uint32_t>(counts_[len]) << (16 - len);
  if (space != (1u << 16)) throw ArcError(ERROR_BROKEN_DATA, "bad Huffman table");

  int offsets[18] = {};
  for (int len = 1; len <= 16; ++len) offsets[len + 1] = offsets[len] + counts_[len];
  sorted_.assign(offsets[17], 0);
  for (int i = 0; i < count; ++i) {
    if (lengths[i]) sorted_[offsets[lengths[i]]++] = static_cast<std::uint16_t>(i);
  }

  table_.assign(std::size_t{1} << tableBits, kLong);
  std::uint32_t code = 0;
  std::size_t k = 0;
  for (int len = 1; len <= 16; ++len) {
    for (int n = 0; n < counts_[len]; ++n, ++code, ++k) {
      if (len > tableBits) continue;
      std::uint32_t first = code << (tableBits - len), span = 1u << (tableBits - len);
      std::uint16_t entry = static_cast<std::uint16_t>(sorted_[k] << 5 | len);
      for (std::uint32_t j = 0; j < span; ++j) table_[first + j] = entry;
    }
    code <<= 1;
  }
}

int Huffman::Decode(BitReader& bits) const {
  if (single_ >= 0) return single_;
  std::uint16_t entry = table_[bits.Peek(tableBits_)];
  if (entry == kLong) return DecodeLong(bits);
  bits.Skip(entry & 0x1F);
  return entry >> 5;
}

int Huffman::DecodeLong(BitReader& bits) const {
  std::uint32_t peek = bits.Peek(16);
  std::uint32_t code = 0, first = 0, index = 0;
  for (int len = 1; len <= 16; ++len) {
    code |= (peek >> (16 - len)) & 1;
    std::uint32_t count = static_cast<std::uint32_t>(counts_[len]);
    if (code - first < count) {
      bits.Skip(len);
      return sorted_[index + code - first];
    }
    index += count;
    first = (first + count) << 1;
    code <<= 1;
  }
  // Unreachable for a complete code.
  throw ArcError(ERROR_BROKEN_DATA, "bad Huffman code");
}

}  // namespace arc::arj
