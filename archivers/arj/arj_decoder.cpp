// SPDX-License-Identifier: MIT
#include "archivers/arj/arj_decoder.h"

#include <array>
#include <cstring>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/arj/arj_huffman.h"

namespace arc::arj {

namespace {

// Method 1-3 alphabet sizes: literals and lengths 3..256, distance bit
// counts 0..16, and the code-length alphabet.
constexpr int kThreshold = 3;
constexpr int kNC = 255 + 256 + 2 - kThreshold;  // 510
constexpr int kNP = 17;
constexpr int kNT = 19;
constexpr int kCBit = 9, kPBit = 5, kTBit = 5;

[[noreturn]] void Broken(const char* what) { throw ArcError(ERROR_BROKEN_DATA, what); }

// The sliding window. 64 KiB holds every distance the codes can express
// (ARJ itself uses 26624), so no distance needs a header-given size.
class Window {
 public:
  Window(std::uint32_t total, const Sink& sink) : total_(total), sink_(sink) {}

  bool Done() const { return produced_ >= total_ || stopped_; }
  bool Stopped() const { return stopped_; }

  void Literal(std::uint8_t b) {
    buf_[pos_++] = b;
    ++produced_;
    if (pos_ == kSize) Flush();
  }
  void Copy(std::uint32_t distance, std::uint32_t length) {
    // Every file starts with an empty window, so a reach before its first
    // byte is damage.
    if (distance > produced_ || distance > kSize) Broken("match reaches before the data");
    if (length > total_ - produced_) length = static_cast<std::uint32_t>(total_ - produced_);
    std::uint32_t from = (pos_ + kSize - distance) & (kSize - 1);
    while (length-- > 0) {
      buf_[pos_++] = buf_[from];
      from = (from + 1) & (kSize - 1);
      ++produced_;
      if (pos_ == kSize) Flush();
    }
  }
  void Finish() {
    if (!stopped_) Flush();
  }

 private:
  static constexpr std::uint32_t kSize = 1u << 16;
  void Flush() {
    if (pos_ > flushed_ && !stopped_ && !sink_(buf_.data() + flushed_, pos_ - flushed_)) stopped_ = true;
    if (pos_ == kSize) pos_ = 0;
    flushed_ = pos_;
  }

  std::array<std::uint8_t, kSize> buf_{};
  std::uint32_t pos_ = 0, flushed_ = 0;
  std::uint64_t produced_ = 0;
  std::uint64_t total_;
  const Sink& sink_;
  bool stopped_ = false;
};

class BlockCoder {
 public:
  explicit BlockCoder(BitReader& bits) : bits_(bits) {}

  void Run(Window& window) {
    std::uint32_t blockLeft = 0;
    while (!window.Done()) {
      if (blockLeft == 0) {
        blockLeft = bits_.Get(16);
        if (blockLeft == 0) Broken("empty block");
        ReadLengths(pt_, kNT, kTBit, 3);
        ReadLiteralLengths();
        ReadLengths(p_, kNP, kPBit, -1);
      }
      --blockLeft;
      int c = c_.Decode(bits_);
      if (c < 256) {
        window.Literal(static_cast<std::uint8_t>(c));
      } else {
        std::uint32_t length = static_cast<std::uint32_t>(c - (256 - kThreshold));
        window.Copy(DecodeDistance() + 1, length);
      }
    }
  }

 private:
  std::uint32_t DecodeDistance() {
    int j = p_.Decode(bits_);
    if (j == 0) return 0;
    return (1u << (j - 1)) + bits_.Get(j - 1);
  }

  // The lengths of the code-length code and of the distance code.
  void ReadLengths(Huffman& h, int count, int countBits, int special) {
    int n = static_cast<int>(bits_.Get(countBits));
    if (n == 0) {
      int c = static_cast<int>(bits_.Get(countBits));
      if (c >= count) Broken("bad single code");
      h.BuildSingle(c);
      return;
    }
    if (n > count) Broken("too many code lengths");
    std::uint8_t lengths[kNT] = {};
    int i = 0;
    while (i < n) {
      int c = static_cast<int>(bits_.Peek(3));
      if (c == 7) {
        // Lengths of 7 and more: unary extension after the three bits.
        std::uint32_t more = bits_.Peek(16);
        for (std::uint32_t mask = 1u << 12; mask && (more & mask); mask >>= 1) ++c;
        if (c > 16) Broken("bad code length");
      }
      bits_.Skip(c < 7 ? 3 : c - 3);
      lengths[i++] = static_cast<std::uint8_t>(c);
      if (i == special) {
        int zeros = static_cast<int>(bits_.Get(2));
        if (i + zeros > count) Broken("too many code lengths");
        while (zeros-- > 0) lengths[i++] = 0;
      }
    }
    h.Build(lengths, count, 8);
  }

  void ReadLiteralLengths() {
    int n = static_cast<int>(bits_.Get(kCBit));
    if (n == 0) {
      int c = static_cast<int>(bits_.Get(kCBit));
      if (c >= kNC) Broken("bad single code");
      c_.BuildSingle(c);
      return;
    }
    if (n > kNC) Broken("too many code lengths");
    std::uint8_t lengths[kNC] = {};
    int i = 0;
    while (i < n) {
      int c = pt_.Decode(bits_);
      if (c <= 2) {
        int zeros = c == 0 ? 1 : c == 1 ? static_cast<int>(bits_.Get(4)) + 3 : static_cast<int>(bits_.Get(kCBit)) + 20;
        if (i + zeros > kNC) Broken("too many code lengths");
        while (zeros-- > 0) lengths[i++] = 0;
      } else {
        lengths[i++] = static_cast<std::uint8_t>(c - 2);
      }
    }
    c_.Build(lengths, kNC, 12);
  }

  BitReader& bits_;
  Huffman pt_, c_, p_;
};

// Method 4: a length as a unary-prefixed number (0 = literal), then for a
// match a position coded the same way with 9 to 13 bits.
std::uint32_t ReadPrefixed(BitReader& bits, int startWidth, int stopWidth) {
  std::uint32_t plus = 0, power = 1u << startWidth;
  int width = startWidth;
  for (; width < stopWidth; ++width) {
    if (bits.Get(1) == 0) break;
    plus += power;
    power <<= 1;
  }
  return plus + (width ? bits.Get(width) : 0);
}

void RunFastest(BitReader& bits, Window& window) {
  while (!window.Done()) {
    std::uint32_t c = ReadPrefixed(bits, 0, 7);
    if (c == 0) {
      window.Literal(static_cast<std::uint8_t>(bits.Get(8)));
    } else {
      std::uint32_t length = c - 1 + kThreshold;
      window.Copy(ReadPrefixed(bits, 9, 13) + 1, length);
    }
  }
}

}  // namespace

bool Decode(int method, const ByteSource& source, std::uint32_t originalSize, const Sink& sink) {
  if (method < 1 || method > 4) throw ArcError(ERROR_METHOD, "unknown ARJ method");
  BitReader bits(source);
  Window window(originalSize, sink);
  if (method == 4) {
    RunFastest(bits, window);
  } else {
    BlockCoder(bits).Run(window);
  }
  window.Finish();
  return !window.Stopped();
}

}  // namespace arc::arj
