// SPDX-License-Identifier: MIT
#pragma once
// Longest-match search for LZSS over an input held whole in memory, with
// hash chains over three-byte prefixes. Used by the -lh5- encoder.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace arc {

struct LzssMatch {
  std::uint32_t length = 0;    // 0 when no match of at least kMinMatch bytes
  std::uint32_t distance = 0;  // 1..window
};

class LzssMatcher {
 public:
  static constexpr std::uint32_t kMinMatch = 3;

  LzssMatcher(const std::uint8_t* data, std::size_t size, std::uint32_t window, std::uint32_t maxMatch,
              int maxChain);
  // The longest match for the bytes at `pos`; positions must be inserted in
  // increasing order, each once, with Insert before the next Find.
  LzssMatch Find(std::size_t pos) const;
  void Insert(std::size_t pos);

 private:
  static constexpr int kHashBits = 15;
  std::uint32_t Hash(std::size_t pos) const;

  const std::uint8_t* data_;
  std::size_t size_;
  std::uint32_t window_;
  std::uint32_t maxMatch_;
  int maxChain_;
  std::vector<std::int64_t> head_;  // last position with the hash, -1 when none
  std::vector<std::int64_t> prev_;  // earlier position with the same hash, by pos % window
};

}  // namespace arc
