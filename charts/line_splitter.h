#pragma once
// Cuts chart text, fed in blocks, into lines at every CR and every LF and
// stops at the first Ctrl-Z. Only the start of a line can hold a header key,
// so each line is kept up to a limit and the rest of a long line is skipped
// without being stored: memory stays bounded whatever the file holds.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

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

 private:
  static const char* Find(const char* from, const char* end, char c) {
    const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return hit ? static_cast<const char*>(hit) : end;
  }
  void Carry(std::string_view part);

  std::size_t keep_;
  std::string pending_;  // the kept start of a line that runs past a block
  bool ended_ = false;   // a Ctrl-Z was seen
};

template <class OnLine>
bool LineSplitter::Feed(std::string_view block, OnLine&& onLine) {
  if (ended_) return false;
  if (std::size_t z = block.find('\x1A'); z != std::string_view::npos) {
    block = block.substr(0, z);
    ended_ = true;
  }
  const char* p = block.data();
  const char* end = p + block.size();
  // The next CR and the next LF are each searched for (with memchr, which is
  // fast) only once the split has passed the previous one, so a file with
  // only one kind of line end is still scanned once.
  const char* nextCr = Find(p, end, '\r');
  const char* nextLf = Find(p, end, '\n');
  while (p != end) {
    if (nextCr < p) nextCr = Find(p, end, '\r');
    if (nextLf < p) nextLf = Find(p, end, '\n');
    const char* e = nextCr < nextLf ? nextCr : nextLf;
    std::string_view part(p, static_cast<std::size_t>(e - p));
    if (e == end) {  // the line goes on in the next block
      Carry(part);
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
