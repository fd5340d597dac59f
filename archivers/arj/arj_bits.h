// SPDX-License-Identifier: MIT
#pragma once
// Most-significant-bit-first bit reader over a pulled byte stream, as the ARJ
// coders read their data. Past the end of the compressed data it supplies
// zero bits, but only for a few bytes: a decoder that wants more is reading
// damaged data and gets ERROR_BROKEN_DATA instead of running on forever.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace arc::arj {

// Fills up to `size` bytes; 0 at the end of the compressed data.
using ByteSource = std::function<std::size_t(std::uint8_t* buf, std::size_t size)>;

class BitReader {
 public:
  explicit BitReader(const ByteSource& source) : source_(source) {}

  // The next n (0..16) bits without consuming them.
  std::uint32_t Peek(int n) {
    if (count_ < n) Refill();
    return n == 0 ? 0 : static_cast<std::uint32_t>(acc_ >> (64 - n));
  }
  void Skip(int n) {
    if (count_ < n) Refill();
    acc_ <<= n;
    count_ -= n;
    if (padBits_ > count_ + kMaxPadBits) ThrowEnded();
  }
  std::uint32_t Get(int n) {
    std::uint32_t v = Peek(n);
    Skip(n);
    return v;
  }

 private:
  // The coders look ahead at most 16 bits beyond the last code they need.
  static constexpr int kMaxPadBits = 32;
  void Refill();
  [[noreturn]] static void ThrowEnded();

  const ByteSource& source_;
  std::uint64_t acc_ = 0;  // pending bits, left-aligned
  int count_ = 0;
  std::uint8_t buf_[4096];
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
  int padBits_ = 0;  // zero bits appended after the end, still counted in count_ or consumed
};

}  // namespace arc::arj
