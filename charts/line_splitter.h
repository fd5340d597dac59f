// SPDX-License-Identifier: MIT
#pragma once
// Cuts chart text, fed in blocks, into lines at every CR and every LF and
// stops at the first Ctrl-Z. Only the start of a line can hold a header key,
// so each line is kept up to a limit and the rest of a long line is skipped
// without being stored: memory stays bounded whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class LineSplitter {
 public:
  // `keep`: how many bytes of each line are handed on at most.
  explicit LineSplitter(std::size_t keep) : keep_(keep) {}

  // Calls onLine(std::string_view line, bool ascii) for every completed
  // non-empty line that starts with '#' (no other can carry a key); `ascii`
  // when no byte of what is handed on is above 0x7F. False once a Ctrl-Z
  // ended the text: nothing after it counts, so the caller can stop reading.
  template <class OnLine>
  bool Feed(std::string_view block, OnLine&& onLine);
  // The end of the text completes the last line.
  template <class OnLine>
  void Finish(OnLine&& onLine);

  static bool IsAscii(std::string_view s);

 private:
  // One bit per byte of 64 bytes of text: where a line stops (CR, LF,
  // Ctrl-Z) and where a byte is above 0x7F. A chart is mostly short lines:
  // finding all of them in one pass costs less than a search per line.
  struct Marks {
    std::uint64_t stops = 0;
    std::uint64_t high = 0;
  };
  static Marks Scan(const char* p);
  static Marks ScanTail(const char* p, std::size_t n);
  // The bits below bit n (none for n <= 0).
  static std::uint64_t Below(std::ptrdiff_t n) {
    return n <= 0 ? 0 : n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
  }

  template <class OnLine>
  void Complete(std::string_view part, bool high, OnLine& onLine);
  void Carry(std::string_view part);

  std::size_t keep_;
  std::string pending_;  // the kept start of a line that runs past a block
  bool ended_ = false;   // a Ctrl-Z was seen
};

inline LineSplitter::Marks LineSplitter::Scan(const char* p) {
  Marks m;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), ctrlZ = _mm_set1_epi8('\x1A');
  for (int k = 0; k < 4; ++k) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const __m128i stop =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, ctrlZ));
    m.stops |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(stop))) << (16 * k);
    m.high |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v))) << (16 * k);
  }
#else
  for (int i = 0; i < 64; ++i) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if (c == '\r' || c == '\n' || c == 0x1A) m.stops |= std::uint64_t{1} << i;
    if (c >= 0x80) m.high |= std::uint64_t{1} << i;
  }
#endif
  return m;
}

inline LineSplitter::Marks LineSplitter::ScanTail(const char* p, std::size_t n) {
  // NUL is neither a stop nor above 0x7F: the padding marks nothing.
  char padded[64] = {};
  std::memcpy(padded, p, n);
  return Scan(padded);
}

inline bool LineSplitter::IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

template <class OnLine>
bool LineSplitter::Feed(std::string_view block, OnLine&& onLine) {
  if (ended_) return false;
  const char* const end = block.data() + block.size();
  const char* lineStart = block.data();
  bool high = false;  // a byte above 0x7F in the current line, in this block
  for (const char* base = block.data(); base < end; base += 64) {
    const std::size_t left = static_cast<std::size_t>(end - base);
    const Marks m = left >= 64 ? Scan(base) : ScanTail(base, left);
    for (std::uint64_t stops = m.stops; stops != 0; stops &= stops - 1) {
      const int i = __builtin_ctzll(stops);
      const char* e = base + i;
      high = high || (m.high & Below(i) & ~Below(lineStart - base)) != 0;
      std::string_view part(lineStart, static_cast<std::size_t>(e - lineStart));
      if (*e == '\x1A') {  // the text ends here; Finish completes the line
        Carry(part);
        ended_ = true;
        return false;
      }
      Complete(part, high, onLine);
      lineStart = e + 1;
      high = false;
    }
    high = high || (m.high & ~Below(lineStart - base)) != 0;
  }
  Carry(std::string_view(lineStart, static_cast<std::size_t>(end - lineStart)));  // goes on in the next block
  return true;
}

template <class OnLine>
void LineSplitter::Complete(std::string_view part, bool high, OnLine& onLine) {
  if (pending_.empty()) {
    if (part.empty() || part[0] != '#') return;
    if (part.size() <= keep_)
      onLine(part, !high);
    else
      onLine(part.substr(0, keep_), IsAscii(part.substr(0, keep_)));
    return;
  }
  Carry(part);
  if (pending_[0] == '#') onLine(std::string_view(pending_), IsAscii(pending_));
  pending_.clear();
}

template <class OnLine>
void LineSplitter::Finish(OnLine&& onLine) {
  if (!pending_.empty() && pending_[0] == '#') onLine(std::string_view(pending_), IsAscii(pending_));
  pending_.clear();
}

inline void LineSplitter::Carry(std::string_view part) {
  if (pending_.size() < keep_) pending_.append(part.substr(0, keep_ - pending_.size()));
}
