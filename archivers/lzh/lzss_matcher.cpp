// SPDX-License-Identifier: MIT
#include "archivers/lzh/lzss_matcher.h"

#include <algorithm>

namespace arc {

LzssMatcher::LzssMatcher(const std::uint8_t* data, std::size_t size, std::uint32_t window, std::uint32_t maxMatch,
                         int maxChain)
    : data_(data), size_(size), window_(window), maxMatch_(maxMatch), maxChain_(maxChain),
      head_(std::size_t{1} << kHashBits, -1), prev_(window, -1) {}

std::uint32_t LzssMatcher::Hash(std::size_t pos) const {
  std::uint32_t v = data_[pos] | data_[pos + 1] << 8 | data_[pos + 2] << 16;
  return (v * 2654435761u) >> (32 - kHashBits);
}

void LzssMatcher::Insert(std::size_t pos) {
  if (pos + kMinMatch > size_) return;
  std::uint32_t h = Hash(pos);
  prev_[pos % window_] = head_[h];
  head_[h] = static_cast<std::int64_t>(pos);
}

LzssMatch LzssMatcher::Find(std::size_t pos) const {
  LzssMatch best;
  if (pos + kMinMatch > size_) return best;
  std::uint32_t limit = static_cast<std::uint32_t>(std::min<std::size_t>(maxMatch_, size_ - pos));
  const std::uint8_t* cur = data_ + pos;
  std::int64_t cand = head_[Hash(pos)];
  for (int chain = maxChain_; cand >= 0 && chain > 0; --chain) {
    std::size_t c = static_cast<std::size_t>(cand);
    std::size_t dist = pos - c;
    if (dist > window_ || dist == 0) break;
    const std::uint8_t* old = data_ + c;
    // The byte just past the best length must match for a longer match.
    if (old[best.length] == cur[best.length] && old[0] == cur[0]) {
      std::uint32_t len = 0;
      while (len < limit && old[len] == cur[len]) ++len;
      if (len > best.length) {
        best.length = len;
        best.distance = static_cast<std::uint32_t>(dist);
        if (len == limit) break;
      }
    }
    std::int64_t next = prev_[c % window_];
    if (next >= cand) break;  // the slot was reused by a newer position
    cand = next;
  }
  if (best.length < kMinMatch) best = {};
  return best;
}

}  // namespace arc
