// SPDX-License-Identifier: MIT
#include "archivers/lzh/huffman_lengths.h"

#include <algorithm>
#include <queue>

namespace arc {

namespace {
// Depth of every leaf of an ordinary Huffman tree over the non-zero
// frequencies.
std::vector<std::uint8_t> PlainLengths(const std::vector<std::uint64_t>& freq) {
  struct Node {
    std::uint64_t weight;
    int index;
  };
  auto heavier = [](const Node& a, const Node& b) { return a.weight > b.weight || (a.weight == b.weight && a.index > b.index); };
  std::priority_queue<Node, std::vector<Node>, decltype(heavier)> heap(heavier);
  std::vector<int> parent(freq.size() * 2, -1);
  for (std::size_t s = 0; s < freq.size(); ++s)
    if (freq[s]) heap.push({freq[s], static_cast<int>(s)});
  int next = static_cast<int>(freq.size());
  while (heap.size() > 1) {
    Node a = heap.top();
    heap.pop();
    Node b = heap.top();
    heap.pop();
    parent[a.index] = parent[b.index] = next;
    heap.push({a.weight + b.weight, next++});
  }
  std::vector<std::uint8_t> lengths(freq.size(), 0);
  for (std::size_t s = 0; s < freq.size(); ++s) {
    if (!freq[s]) continue;
    int depth = 0;
    for (int n = static_cast<int>(s); parent[n] >= 0; n = parent[n]) ++depth;
    lengths[s] = static_cast<std::uint8_t>(std::min(depth, 255));
  }
  return lengths;
}
}  // namespace

std::vector<std::uint8_t> HuffmanLengths(const std::vector<std::uint32_t>& freq, int maxLength) {
  std::vector<std::uint64_t> f(freq.begin(), freq.end());
  int used = static_cast<int>(std::count_if(f.begin(), f.end(), [](std::uint64_t x) { return x != 0; }));
  if (used < 2) return std::vector<std::uint8_t>(freq.size(), 0);
  // Flattening the frequencies until the tree fits keeps every symbol and
  // converges quickly: all-equal weights give a balanced tree.
  for (;;) {
    auto lengths = PlainLengths(f);
    if (*std::max_element(lengths.begin(), lengths.end()) <= maxLength) return lengths;
    for (auto& x : f)
      if (x) x = (x >> 1) | 1;
  }
}

std::vector<std::uint16_t> CanonicalCodes(const std::vector<std::uint8_t>& lengths) {
  std::vector<std::uint16_t> codes(lengths.size(), 0);
  std::uint32_t code = 0;
  for (int len = 1; len <= 16; ++len) {
    for (std::size_t s = 0; s < lengths.size(); ++s)
      if (lengths[s] == len) codes[s] = static_cast<std::uint16_t>(code++);
    code <<= 1;
  }
  return codes;
}

}  // namespace arc
