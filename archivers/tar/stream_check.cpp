#include "archivers/tar/stream_check.h"

#include <archive.h>
#include <bzlib.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/paths.h"

namespace arc {

namespace {

constexpr std::size_t kChunk = 64 << 10;

// The file read in order through one buffer, with room to look ahead at
// the start of a following member.
class Input {
 public:
  explicit Input(int fd) : fd_(fd), buf_(kChunk) {}
  unsigned char* data() { return buf_.data() + pos_; }
  std::size_t avail() const { return end_ - pos_; }
  void Consume(std::size_t n) { pos_ += n; }
  // Makes at least `want` bytes available; false when the file ends first
  // (or cannot be read).
  bool Fill(std::size_t want) {
    if (want > buf_.size()) return false;
    if (avail() >= want) return true;
    std::memmove(buf_.data(), data(), avail());
    end_ = avail();
    pos_ = 0;
    while (end_ < want) {
      ssize_t n = read(fd_, buf_.data() + end_, buf_.size() - end_);
      if (n <= 0) return false;
      end_ += static_cast<std::size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
  std::vector<unsigned char> buf_;
  std::size_t pos_ = 0, end_ = 0;
};

// One decoder step: how much input it took and output it gave.
struct Step {
  std::size_t in = 0, out = 0;
  enum { More, MemberEnd, Bad } state = More;
};

class Gzip {
 public:
  Gzip() { ok_ = inflateInit2(&z_, 16 + MAX_WBITS) == Z_OK; }
  ~Gzip() { inflateEnd(&z_); }
  bool ok() const { return ok_; }
  void Restart() { inflateReset(&z_); }
  // A further member starts with the gzip magic and the deflate method;
  // libarchive takes anything else after a member as the end.
  static bool StartsMember(const unsigned char* p) { return p[0] == 0x1f && p[1] == 0x8b && p[2] == 8; }
  Step Run(unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize) {
    z_.next_in = in;
    z_.avail_in = static_cast<uInt>(inSize);
    z_.next_out = out;
    z_.avail_out = static_cast<uInt>(outSize);
    int r = inflate(&z_, Z_NO_FLUSH);
    Step s{inSize - z_.avail_in, outSize - z_.avail_out};
    if (r == Z_STREAM_END) s.state = Step::MemberEnd;
    else if (r != Z_OK && r != Z_BUF_ERROR) s.state = Step::Bad;
    return s;
  }

 private:
  z_stream z_{};
  bool ok_ = false;
};

class Bzip2 {
 public:
  Bzip2() { ok_ = BZ2_bzDecompressInit(&s_, 0, 0) == BZ_OK; }
  ~Bzip2() {
    if (ok_) BZ2_bzDecompressEnd(&s_);
  }
  bool ok() const { return ok_; }
  void Restart() {
    if (ok_) BZ2_bzDecompressEnd(&s_);
    s_ = bz_stream{};
    ok_ = BZ2_bzDecompressInit(&s_, 0, 0) == BZ_OK;
  }
  static bool StartsMember(const unsigned char* p) {
    return p[0] == 'B' && p[1] == 'Z' && p[2] == 'h';
  }
  Step Run(unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize) {
    s_.next_in = reinterpret_cast<char*>(in);
    s_.avail_in = static_cast<unsigned>(inSize);
    s_.next_out = reinterpret_cast<char*>(out);
    s_.avail_out = static_cast<unsigned>(outSize);
    int r = ok_ ? BZ2_bzDecompress(&s_) : BZ_MEM_ERROR;
    Step s{inSize - s_.avail_in, outSize - s_.avail_out};
    if (r == BZ_STREAM_END) s.state = Step::MemberEnd;
    else if (r != BZ_OK) s.state = Step::Bad;
    return s;
  }

 private:
  bz_stream s_{};
  bool ok_ = false;
};

template <typename Decoder>
DecodedStream Decode(Input& in, std::size_t keep) {
  DecodedStream d;
  Decoder dec;
  if (!dec.ok()) {
    d.end = StreamEnd::Damaged;
    return d;
  }
  std::vector<unsigned char> out(kChunk);
  bool inMember = true;
  for (;;) {
    if (!inMember) {
      if (!in.Fill(3) || !Decoder::StartsMember(in.data())) return d;  // clean end
      dec.Restart();
      if (!dec.ok()) break;
      inMember = true;
    }
    if (in.avail() == 0 && !in.Fill(1)) {
      d.end = StreamEnd::CutShort;
      return d;
    }
    Step s = dec.Run(in.data(), in.avail(), out.data(), out.size());
    in.Consume(s.in);
    std::size_t room = keep - d.prefix.size();
    d.prefix.append(reinterpret_cast<const char*>(out.data()), std::min(s.out, room));
    if (s.out > room) {
      d.overLimit = true;
      return d;
    }
    if (s.state == Step::Bad) break;
    if (s.state == Step::MemberEnd) {
      inMember = false;
    } else if (s.in == 0 && s.out == 0 && !in.Fill(in.avail() + 1)) {
      // The decoder wants more than the file has.
      d.end = StreamEnd::CutShort;
      return d;
    }
  }
  d.end = StreamEnd::Damaged;
  return d;
}

}  // namespace

DecodedStream DecodeStream(const std::string& path, int filter, std::size_t keep) {
  DecodedStream d;
  d.end = StreamEnd::Damaged;
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return d;
  Input in(fd);
  if (filter == ARCHIVE_FILTER_GZIP) {
    d = Decode<Gzip>(in, keep);
  } else if (filter == ARCHIVE_FILTER_BZIP2) {
    d = Decode<Bzip2>(in, keep);
  } else if (filter == ARCHIVE_FILTER_COMPRESS) {
    // compress has no end mark, so no cut shows; its stream decodes to
    // nothing only when no whole code (9 bits at first) follows the
    // 3-byte header. Anything longer that gave nothing had a bad code.
    struct stat st{};
    if (fstat(fd, &st) == 0 && st.st_size <= 4) d.end = StreamEnd::Clean;
  }
  close(fd);
  return d;
}

}  // namespace arc
