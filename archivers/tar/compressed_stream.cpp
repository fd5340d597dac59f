// SPDX-License-Identifier: MIT
#include "archivers/tar/compressed_stream.h"

#include <archive.h>
#include <bzlib.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>
#include <lzma.h>
#include <zstd.h>

#include <cstring>

#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archiver_api.h"
#include "platform/paths.h"

namespace arc {

namespace {
constexpr std::size_t kChunk = 64 << 10;
}

// The file read in order through one buffer, with room to look ahead at
// the start of a following member.
class CompressedStream::Input {
 public:
  explicit Input(int fd) : fd_(fd), buf_(kChunk) {}
  ~Input() { close(fd_); }
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

class CompressedStream::Decoder {
 public:
  // One step: how much input it took and output it gave.
  struct Step {
    std::size_t in = 0, out = 0;
    enum { More, MemberEnd, Bad } state = More;
  };
  virtual ~Decoder() = default;
  virtual bool Restart() = 0;  // false when out of memory
  // Whether a further member starts here (3 bytes).
  virtual bool StartsMember(const unsigned char* p) const = 0;
  virtual Step Run(unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize) = 0;
};

namespace {

using Step = CompressedStream::Decoder::Step;

// gzip members: the header and trailer are read here and the deflate data
// raw by zlib, so that the CRC is the engine's (zlib's own costs more than
// the inflating of stored data).
class Gzip : public CompressedStream::Decoder {
 public:
  ~Gzip() override {
    if (ok_) inflateEnd(&z_);
  }
  bool Restart() override {
    part_ = Part::Fixed;
    got_ = 0;
    crc_ = 0;
    size_ = 0;
    if (!ok_) return ok_ = inflateInit2(&z_, -MAX_WBITS) == Z_OK;
    return inflateReset(&z_) == Z_OK;
  }
  // The magic and the deflate method, as libarchive asks.
  bool StartsMember(const unsigned char* p) const override { return p[0] == 0x1f && p[1] == 0x8b && p[2] == 8; }
  Step Run(unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize) override {
    Step s;
    std::size_t i = 0;
    while (part_ < Part::Body && i < inSize) {
      if (!Header(in[i++])) {
        s.state = Step::Bad;
        break;
      }
    }
    if (part_ == Part::Body && s.state != Step::Bad) {
      z_.next_in = in + i;
      z_.avail_in = static_cast<uInt>(inSize - i);
      z_.next_out = out;
      z_.avail_out = static_cast<uInt>(outSize);
      int r = inflate(&z_, Z_NO_FLUSH);
      i = inSize - z_.avail_in;
      s.out = outSize - z_.avail_out;
      crc_ = Crc32(crc_, out, s.out);
      size_ += s.out;
      if (r == Z_STREAM_END) part_ = Part::Trailer;
      else if (r != Z_OK && r != Z_BUF_ERROR) s.state = Step::Bad;
    }
    while (part_ == Part::Trailer && s.state != Step::Bad && i < inSize) {
      field_[got_++] = in[i++];
      if (got_ < 8) continue;
      bool right = Le32(field_) == crc_ && Le32(field_ + 4) == static_cast<std::uint32_t>(size_);
      s.state = right ? Step::MemberEnd : Step::Bad;
      break;
    }
    s.in = i;
    return s;
  }

 private:
  enum class Part { Fixed, ExtraLength, Extra, Name, Comment, HeaderCrc, Body, Trailer };

  static std::uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  }

  // Takes one header byte; false when the header is no gzip header.
  bool Header(unsigned char c) {
    switch (part_) {
      case Part::Fixed:
        field_[got_++] = c;
        if (got_ < 10) return true;
        // Magic, deflate, no reserved flag (zlib refuses those too).
        if (field_[0] != 0x1f || field_[1] != 0x8b || field_[2] != 8 || (field_[3] & 0xE0)) return false;
        flags_ = field_[3];
        got_ = 0;
        return Next(Part::ExtraLength);
      case Part::ExtraLength:
        field_[got_++] = c;
        if (got_ < 2) return true;
        left_ = field_[0] | field_[1] << 8;
        got_ = 0;
        return left_ > 0 ? (part_ = Part::Extra, true) : Next(Part::Name);
      case Part::Extra:
        return --left_ > 0 ? true : Next(Part::Name);
      case Part::Name:
        return c != 0 ? true : Next(Part::Comment);
      case Part::Comment:
        return c != 0 ? true : Next(Part::HeaderCrc);
      case Part::HeaderCrc:
        return ++got_ < 2 ? true : (got_ = 0, Next(Part::Body));
      default:
        return false;
    }
  }

  // Moves to `part`, or past it when the flags say it is absent.
  bool Next(Part part) {
    static constexpr unsigned char kFlag[] = {0, 0x04, 0x04, 0x08, 0x10, 0x02, 0, 0};
    while (part != Part::Body && !(flags_ & kFlag[static_cast<int>(part)])) part = static_cast<Part>(static_cast<int>(part) + 1);
    part_ = part;
    return true;
  }

  z_stream z_{};
  bool ok_ = false;
  Part part_ = Part::Fixed;
  unsigned char field_[10] = {};
  std::size_t got_ = 0;
  unsigned flags_ = 0;
  unsigned left_ = 0;  // extra field bytes still to skip
  std::uint32_t crc_ = 0;
  std::uint64_t size_ = 0;
};

class Bzip2 : public CompressedStream::Decoder {
 public:
  ~Bzip2() override {
    if (ok_) BZ2_bzDecompressEnd(&s_);
  }
  bool Restart() override {
    if (ok_) BZ2_bzDecompressEnd(&s_);
    s_ = bz_stream{};
    return ok_ = BZ2_bzDecompressInit(&s_, 0, 0) == BZ_OK;
  }
  bool StartsMember(const unsigned char* p) const override { return p[0] == 'B' && p[1] == 'Z' && p[2] == 'h'; }
  Step Run(unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize) override {
    s_.next_in = reinterpret_cast<char*>(in);
    s_.avail_in = static_cast<unsigned>(inSize);
    s_.next_out = reinterpret_cast<char*>(out);
    s_.avail_out = static_cast<unsigned>(outSize);
    int r = BZ2_bzDecompress(&s_);
    Step s{inSize - s_.avail_in, outSize - s_.avail_out};
    if (r == BZ_STREAM_END) s.state = Step::MemberEnd;
    else if (r != BZ_OK) s.state = Step::Bad;
    return s;
  }

 private:
  bz_stream s_{};
  bool ok_ = false;
};

// xz streams (concatenated ones decoded in turn) and the older .lzma form,
// which has one stream and no magic.
class Lzma : public CompressedStream::Decoder {
 public:
  explicit Lzma(bool xz) : xz_(xz) {}
  ~Lzma() override { lzma_end(&s_); }
  bool Restart() override {
    lzma_end(&s_);
    s_ = LZMA_STREAM_INIT;
    // liblzma takes the whole dictionary the header asks for at once: a
    // forged header would have it take gigabytes. xz -9 uses 64 MiB; a
    // stream asking for more than this limit is refused as damaged.
    constexpr std::uint64_t kMemoryLimit = 1u << 30;
    lzma_ret r = xz_ ? lzma_stream_decoder(&s_, kMemoryLimit, 0) : lzma_alone_decoder(&s_, kMemoryLimit);
    return r == LZMA_OK;
  }
  bool StartsMember(const unsigned char* p) const override {
    return xz_ && p[0] == 0xFD && p[1] == '7' && p[2] == 'z';
  }
  Step Run(unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize) override {
    s_.next_in = in;
    s_.avail_in = inSize;
    s_.next_out = out;
    s_.avail_out = outSize;
    lzma_ret r = lzma_code(&s_, LZMA_RUN);
    Step s{inSize - s_.avail_in, outSize - s_.avail_out};
    if (r == LZMA_STREAM_END) s.state = Step::MemberEnd;
    else if (r != LZMA_OK && r != LZMA_BUF_ERROR) s.state = Step::Bad;
    return s;
  }

 private:
  bool xz_;
  lzma_stream s_ = LZMA_STREAM_INIT;
};

// zstd frames, decoded in turn.
class Zstd : public CompressedStream::Decoder {
 public:
  ~Zstd() override { ZSTD_freeDStream(s_); }
  bool Restart() override {
    if (!s_) s_ = ZSTD_createDStream();
    return s_ && !ZSTD_isError(ZSTD_DCtx_reset(s_, ZSTD_reset_session_only));
  }
  bool StartsMember(const unsigned char* p) const override { return p[0] == 0x28 && p[1] == 0xB5 && p[2] == 0x2F; }
  Step Run(unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t outSize) override {
    ZSTD_inBuffer i{in, inSize, 0};
    ZSTD_outBuffer o{out, outSize, 0};
    std::size_t r = ZSTD_decompressStream(s_, &o, &i);
    Step s{i.pos, o.pos};
    if (ZSTD_isError(r)) s.state = Step::Bad;
    else if (r == 0) s.state = Step::MemberEnd;
    return s;
  }

 private:
  ZSTD_DStream* s_ = nullptr;
};

}  // namespace

bool CompressedStream::Decodes(int filter) {
  return filter == ARCHIVE_FILTER_GZIP || filter == ARCHIVE_FILTER_BZIP2 || filter == ARCHIVE_FILTER_XZ ||
         filter == ARCHIVE_FILTER_LZMA || filter == ARCHIVE_FILTER_ZSTD;
}

CompressedStream::CompressedStream(const std::string& path, int filter) : out_(kChunk) {
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  in_ = std::make_unique<Input>(fd);
  switch (filter) {
    case ARCHIVE_FILTER_BZIP2: decoder_ = std::make_unique<Bzip2>(); break;
    case ARCHIVE_FILTER_XZ: decoder_ = std::make_unique<Lzma>(true); break;
    case ARCHIVE_FILTER_LZMA: decoder_ = std::make_unique<Lzma>(false); break;
    case ARCHIVE_FILTER_ZSTD: decoder_ = std::make_unique<Zstd>(); break;
    default: decoder_ = std::make_unique<Gzip>(); break;
  }
  if (!decoder_->Restart()) throw ArcError(ERROR_ENOUGH_MEMORY, "out of memory");
}

CompressedStream::~CompressedStream() = default;

std::size_t CompressedStream::Finish(StreamEnd end) {
  ended_ = true;
  end_ = end;
  return 0;
}

std::size_t CompressedStream::Read(const void** out) {
  while (!ended_) {
    if (damaged_) return Finish(StreamEnd::Damaged);
    if (!inMember_) {
      if (!in_->Fill(3) || !decoder_->StartsMember(in_->data())) return Finish(StreamEnd::Clean);
      if (!decoder_->Restart()) return Finish(StreamEnd::Damaged);
      inMember_ = true;
    }
    if (in_->avail() == 0 && !in_->Fill(1)) return Finish(StreamEnd::CutShort);
    Step s = decoder_->Run(in_->data(), in_->avail(), out_.data(), out_.size());
    in_->Consume(s.in);
    // What came out before the damage showed still goes on, as from a
    // decompressor into a pipe: entries that were whole before it stay.
    if (s.state == Step::Bad) {
      damaged_ = true;
      if (s.out == 0) return Finish(StreamEnd::Damaged);
    } else if (s.state == Step::MemberEnd) {
      inMember_ = false;
    } else if (s.in == 0 && s.out == 0 && !in_->Fill(in_->avail() + 1)) {
      return Finish(StreamEnd::CutShort);  // the decoder wants more than the file has
    }
    if (s.out > 0) {
      *out = out_.data();
      return s.out;
    }
  }
  return 0;
}

}  // namespace arc
