// SPDX-License-Identifier: MIT
#include "archivers/lzh/lh5_encoder.h"

#include <vector>

#include "archivers/lzh/huffman_lengths.h"
#include "archivers/lzh/lzss_matcher.h"

namespace arc {

namespace {
constexpr std::uint32_t kWindow = 8192;
constexpr std::uint32_t kMaxMatch = 256;
constexpr int kCodes = 510;       // 256 characters + lengths 3..256
constexpr int kPositions = 14;    // bit lengths 0..13 of distance-1
constexpr int kTempCodes = 19;    // code lengths 0..16 + 2 run codes
constexpr int kCodeBits = 9, kPosBits = 4, kTempBits = 5;
constexpr int kMaxCodeLength = 16;
constexpr std::size_t kBlockCommands = 32768;  // below the 16-bit block size
constexpr int kMaxChain = 96;

class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void Put(int bits, std::uint32_t value) {
    if (bits == 0) return;
    acc_ = (acc_ << bits) | (value & ((1u << bits) - 1));
    count_ += bits;
    while (count_ >= 8) {
      count_ -= 8;
      out_.push_back(static_cast<char>((acc_ >> count_) & 0xFF));
    }
  }
  void Flush() {
    if (count_ > 0) Put(8 - count_, 0);
  }

 private:
  std::string& out_;
  std::uint64_t acc_ = 0;
  int count_ = 0;
};

struct Command {
  std::uint16_t code;      // character, or 256 + length - 3
  std::uint16_t position;  // distance - 1 for a copy
};

int PositionCode(std::uint32_t pos) {
  int bits = 0;
  while (pos) {
    ++bits;
    pos >>= 1;
  }
  return bits;
}

// A tree ready to emit: lengths and codes; `single` when it has one symbol
// (emitted with zero bits).
struct Tree {
  std::vector<std::uint8_t> lengths;
  std::vector<std::uint16_t> codes;
  int single = -1;

  Tree(const std::vector<std::uint32_t>& freq) {
    lengths = HuffmanLengths(freq, kMaxCodeLength);
    codes = CanonicalCodes(lengths);
    bool any = false;
    for (auto l : lengths) any |= l != 0;
    if (!any) {
      single = 0;
      for (std::size_t s = 0; s < freq.size(); ++s)
        if (freq[s]) single = static_cast<int>(s);
    }
  }
  void Emit(BitWriter& w, int symbol) const { w.Put(lengths[symbol], codes[symbol]); }
  int Used() const {
    int n = static_cast<int>(lengths.size());
    while (n > 0 && lengths[n - 1] == 0) --n;
    return n;
  }
};

// The length list of the temporary and the position trees: 3 bits, then
// one bit per unit above 6 and a closing 0.
void PutLength(BitWriter& w, int len) {
  if (len <= 6) {
    w.Put(3, static_cast<std::uint32_t>(len));
  } else {
    w.Put(3, 7);
    for (int i = 7; i < len; ++i) w.Put(1, 1);
    w.Put(1, 0);
  }
}

void PutSmallTree(BitWriter& w, const Tree& t, int countBits, bool skipAfterThird) {
  if (t.single >= 0) {
    w.Put(countBits, 0);
    w.Put(countBits, static_cast<std::uint32_t>(t.single));
    return;
  }
  int n = t.Used();
  w.Put(countBits, static_cast<std::uint32_t>(n));
  for (int i = 0; i < n;) {
    PutLength(w, t.lengths[i++]);
    if (skipAfterThird && i == 3) {
      int zeros = 0;
      while (zeros < 3 && i < n && t.lengths[i] == 0) ++zeros, ++i;
      w.Put(2, static_cast<std::uint32_t>(zeros));
    }
  }
}

// Runs of unused codes in the character/length tree are written with the
// temporary codes 0 (one), 1 (3-18, 4 bits) and 2 (20 and more, 9 bits).
template <class Visit>
void WalkCodeLengths(const std::vector<std::uint8_t>& lengths, int n, Visit visit) {
  for (int i = 0; i < n;) {
    int len = lengths[i++];
    if (len != 0) {
      visit(len + 2, 0, 0);
      continue;
    }
    int run = 1;
    while (i < n && lengths[i] == 0) ++run, ++i;
    if (run <= 2) {
      for (int k = 0; k < run; ++k) visit(0, 0, 0);
    } else if (run <= 18) {
      visit(1, 4, run - 3);
    } else if (run == 19) {
      visit(0, 0, 0);
      visit(1, 4, 15);
    } else {
      visit(2, kCodeBits, run - 20);
    }
  }
}

void WriteBlock(BitWriter& w, const std::vector<Command>& cmds) {
  std::vector<std::uint32_t> codeFreq(kCodes, 0), posFreq(kPositions, 0);
  for (const auto& c : cmds) {
    ++codeFreq[c.code];
    if (c.code >= 256) ++posFreq[PositionCode(c.position)];
  }
  Tree codeTree(codeFreq);
  w.Put(16, static_cast<std::uint32_t>(cmds.size()));
  if (codeTree.single >= 0) {
    // Nothing to describe but one code: both trees in their one-symbol form.
    w.Put(kTempBits, 0);
    w.Put(kTempBits, 0);
    w.Put(kCodeBits, 0);
    w.Put(kCodeBits, static_cast<std::uint32_t>(codeTree.single));
  } else {
    int n = codeTree.Used();
    std::vector<std::uint32_t> tempFreq(kTempCodes, 0);
    WalkCodeLengths(codeTree.lengths, n, [&](int sym, int, int) { ++tempFreq[sym]; });
    Tree tempTree(tempFreq);
    PutSmallTree(w, tempTree, kTempBits, true);
    w.Put(kCodeBits, static_cast<std::uint32_t>(n));
    WalkCodeLengths(codeTree.lengths, n, [&](int sym, int bits, int value) {
      tempTree.Emit(w, sym);
      w.Put(bits, static_cast<std::uint32_t>(value));
    });
  }
  Tree posTree(posFreq);
  PutSmallTree(w, posTree, kPosBits, false);
  for (const auto& c : cmds) {
    codeTree.Emit(w, c.code);
    if (c.code < 256) continue;
    int pc = PositionCode(c.position);
    posTree.Emit(w, pc);
    if (pc > 1) w.Put(pc - 1, c.position);
  }
}
}  // namespace

std::string EncodeLh5(const std::uint8_t* data, std::size_t size) {
  std::string out;
  out.reserve(size / 2 + 64);
  BitWriter w(out);
  LzssMatcher matcher(data, size, kWindow, kMaxMatch, kMaxChain);
  std::vector<Command> cmds;
  cmds.reserve(kBlockCommands);
  auto emit = [&](Command c) {
    cmds.push_back(c);
    if (cmds.size() == kBlockCommands) {
      WriteBlock(w, cmds);
      cmds.clear();
    }
  };
  std::size_t pos = 0;
  LzssMatch match = matcher.Find(0);
  while (pos < size) {
    matcher.Insert(pos);
    LzssMatch next = pos + 1 < size ? matcher.Find(pos + 1) : LzssMatch{};
    // One step of lazy matching: a longer match one byte later wins.
    if (match.length >= LzssMatcher::kMinMatch && next.length <= match.length) {
      emit({static_cast<std::uint16_t>(256 + match.length - 3), static_cast<std::uint16_t>(match.distance - 1)});
      for (std::size_t k = 1; k < match.length; ++k) matcher.Insert(pos + k);
      pos += match.length;
      match = pos < size ? matcher.Find(pos) : LzssMatch{};
    } else {
      emit({data[pos], 0});
      ++pos;
      match = next;
    }
  }
  if (!cmds.empty()) WriteBlock(w, cmds);
  w.Flush();
  return out;
}

}  // namespace arc
