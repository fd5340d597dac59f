// SPDX-License-Identifier: MIT
#pragma once
// Canonical Huffman codes as the ARJ methods 1-3 send them: code lengths
// 1..16, codes assigned in symbol order within each length, read
// most-significant bit first. A table is either a complete code or a single
// symbol that takes no bits at all.
#include <cstdint>
#include <vector>

#include "archivers/arj/arj_bits.h"

namespace arc::arj {

class Huffman {
 public:
  // Throws ArcError(ERROR_BROKEN_DATA) unless the lengths form a complete code.
  void Build(const std::uint8_t* lengths, int count, int tableBits);
  void BuildSingle(int symbol);
  int Decode(BitReader& bits) const;
  // The code length of a symbol (0 for the single-symbol form).
  int Length(int symbol) const { return symbol < static_cast<int>(lengths_.size()) ? lengths_[symbol] : 0; }

 private:
  int DecodeLong(BitReader& bits) const;

  int tableBits_ = 0;
  int single_ = -1;
  // Entry: symbol << 5 | length, or kLong for prefixes of longer codes.
  static constexpr std::uint16_t kLong = 0xFFFF;
  std::vector<std::uint16_t> table_;
  std::vector<std::uint8_t> lengths_;
  int counts_[17] = {};
  std::vector<std::uint16_t> sorted_;  // symbols by (length, symbol)
};

}  // namespace arc::arj
