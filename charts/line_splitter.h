#pragma once
// Cuts chart text, fed in blocks, into lines at every CR and every LF and
// stops at the first Ctrl-Z. Only the start of a line can hold a header key,
// so each line is kept up to a limit and the rest of a long line is skipped
// without being stored: memory stays bounded whatever the file holds.
#include <cstddef>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class LineSplitter {
 public:
  // `keep`: how many bytes of each line are handed on at most.
  explicit LineSplitter(std::size_t keep) : keep_(keep) {}

  // Calls onLine(std::string_view) for every completed non-empty line that
  // starts with '#' (no other can carry a key). False once a Ctrl-Z ended
  // the text: nothing after it counts, so the caller can stop reading.
  template <class OnLine>
  bool Feed(std::string_view block, OnLine&& onLine);
  // The end of the text completes the last line.
  template <class OnLine>
  void Finish(OnLine&& onLine);

  // The first CR, LF or Ctrl-Z at or after `from`, or `end`.
  static const char* FindStop(const char* from, const char* end);

 private:
  void Carry(std::string_view part);

  std::size_t keep_;
  std::string pending_;  // the kept start of a line that runs past a block
  bool ended_ = false;   // a Ctrl-Z was seen
};

inline const char* LineSplitter::FindStop(const char* from, const char* end) {
  // A chart is mostly short lines: one pass looking for all three bytes at
  // once costs less than a library search per kind of byte per line.
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), ctrlZ = _mm_set1_epi8('\x1A');
  while (end - from >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, ctrlZ));
    if (int mask = _mm_movemask_epi8(hit)) return from + __builtin_ctz(static_cast<unsigned>(mask));
    from += 16;
  }
#endif
  while (from != end && *from != '\r' && *from != '\n' && *from != '\x1A') ++from;
  return from;
}

template <class OnLine>
bool LineSplitter::Feed(std::string_view block, OnLine&& onLine) {
  if (ended_) return false;
  const char* p = block.data();
  const char* end = p + block.size();
  while (p != end) {
    const char* e = FindStop(p, end);
    std::string_view part(p, static_cast<std::size_t>(e - p));
    if (e == end || *e == '\x1A') {  // the line goes on in the next block, or the text ends here
      Carry(part);
      if (e != end) ended_ = true;
      break;
    }
    if (pending_.empty()) {
      if (!part.empty() && part[0] == '#') onLine(part.substr(0, keep_));
    } else {
      Carry(part);
      if (pending_[0] == '#') onLine(std::string_view(pending_));
      pending_.clear();
    }
    p = e + 1;
    // CR LF is the usual line end: its LF ends an empty line, which counts
    // for nothing, so step over it here.
    if (*e == '\r' && p != end && *p == '\n') ++p;
  }
  return !ended_;
}

template <class OnLine>
void LineSplitter::Finish(OnLine&& onLine) {
  if (!pending_.empty() && pending_[0] == '#') onLine(std::string_view(pending_));
  pending_.clear();
}

inline void LineSplitter::Carry(std::string_view part) {
  if (pending_.size() < keep_) pending_.append(part.substr(0, keep_ - pending_.size()));
}
