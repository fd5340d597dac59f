// SPDX-License-Identifier: MIT
// The TAR family through libarchive: tar formats plus "raw" for a single
// compressed file, behind one gzip, bzip2, compress, xz, lzma or zstd layer.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/libarchive_call.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/shared/name_coding.h"
#include "archivers/shared/reader_opener.h"
#include "archivers/tar/compressed_stream.h"
#include "archivers/tar/pax_record_filter.h"
#include "archivers/tar/tar_family.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "archivers/tar/tar_format.h"

namespace arc {

namespace {

// How many zero bytes may open a tar before it counts as data: a tar with
// nothing in it is only its end blocks padded to a record (10 KiB from
// most tools), so a stream longer than this that starts with zeros is data.
constexpr std::size_t kLongestEmptyTar = 1 << 20;

// The .lzma header has no magic: properties (lc, lp, pb) below 225, a
// dictionary of 2^n or 2^n + 2^(n-1) bytes from 4 KiB, and an unpacked
// size that is unknown (all ones) or below 2^48. A tar's first bytes (its
// first name, ASCII) make no such dictionary.
bool LooksLikeLzma(const unsigned char* h) {
  if (h[0] >= 225) return false;
  std::uint32_t dict = h[1] | h[2] << 8 | h[3] << 16 | static_cast<std::uint32_t>(h[4]) << 24;
  bool known = false;
  for (int bit = 12; bit < 32 && !known; ++bit)
    known = dict == (1u << bit) || dict == (1u << bit | 1u << (bit - 1));
  if (!known) return false;
  bool unknownSize = std::all_of(h + 5, h + 13, [](unsigned char c) { return c == 0xFF; });
  return unknownSize || (h[11] == 0 && h[12] == 0);
}

// The compression filter, told by its signature. It is set explicitly:
// left to itself libarchive would also undo a second layer, giving the
// contents of a .bz2 inside the .bz2 instead of that inner .bz2.
int FilterOf(const std::string& path) {
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ARCHIVE_FILTER_NONE;
  unsigned char m[13] = {};
  ssize_t n = read(fd, m, sizeof m);
  close(fd);
  if (n >= 2 && m[0] == 0x1f && m[1] == 0x8b) return ARCHIVE_FILTER_GZIP;
  if (n >= 2 && m[0] == 0x1f && m[1] == 0x9d) return ARCHIVE_FILTER_COMPRESS;
  if (n >= 3 && m[0] == 'B' && m[1] == 'Z' && m[2] == 'h') return ARCHIVE_FILTER_BZIP2;
  if (n >= 6 && std::memcmp(m, "\xFD" "7zXZ\0", 6) == 0) return ARCHIVE_FILTER_XZ;
  if (n >= 4 && std::memcmp(m, "\x28\xB5\x2F\xFD", 4) == 0) return ARCHIVE_FILTER_ZSTD;
  if (n == 13 && LooksLikeLzma(m)) return ARCHIVE_FILTER_LZMA;
  return ARCHIVE_FILTER_NONE;
}

enum class Layout { Tar, Raw, EmptyStream };

// gzip, bzip2, xz, lzma and zstd are decoded by our own stream (see
// compressed_stream.h).
bool DecodedHere(int filter) { return CompressedStream::Decodes(filter); }

int ErrorOf(StreamEnd end) { return end == StreamEnd::CutShort ? ERROR_UNEXPECTED_EOF : ERROR_BROKEN_DATA; }

const char* WhyOf(StreamEnd end) {
  return end == StreamEnd::CutShort ? "the compressed stream is cut short" : "the compressed stream is damaged";
}

// A plain tar file read in order for the filter: reads grow from a block
// after each skip up to a large one, as libarchive's own file reading.
class PlainFile {
 public:
  explicit PlainFile(const std::string& path) : fd_(open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st{};
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
      if (fd_ >= 0) close(fd_);
      throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~PlainFile() { close(fd_); }
  PlainFile(const PlainFile&) = delete;
  PlainFile& operator=(const PlainFile&) = delete;
  std::size_t Read(const void** out) {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(nextRead_, size_ - pos_));
    ssize_t n = want == 0 ? 0 : pread(fd_, buffer_.data(), want, static_cast<std::int64_t>(pos_));
    if (n < 0) {
      failed_ = true;
      return 0;
    }
    pos_ += static_cast<std::uint64_t>(n);
    nextRead_ = std::min(nextRead_ * 2, buffer_.size());
    *out = buffer_.data();
    return static_cast<std::size_t>(n);
  }
  std::uint64_t Skip(std::uint64_t n) {
    std::uint64_t step = std::min(n, size_ - pos_);
    if (step > 0) nextRead_ = 512;
    pos_ += step;
    return step;
  }
  bool Failed() const { return failed_; }

 private:
  int fd_;
  std::uint64_t size_ = 0, pos_ = 0;
  std::size_t nextRead_ = 512;
  std::vector<char> buffer_ = std::vector<char>(HeaderWalkScope::Active() ? 64 << 10 : 1 << 20);
  bool failed_ = false;
};

// libarchive's callbacks over a tar given through PaxRecordFilter, from a
// decoded stream (the handle holds one share of it) or a plain file.
using SharedStream = std::shared_ptr<CompressedStream>;

struct TarSource {
  SharedStream stream;
  std::unique_ptr<PlainFile> file;
  std::unique_ptr<PaxRecordFilter> filter;
};

la_ssize_t SourceRead(struct archive* a, void* data, const void** out) {
  auto& source = *static_cast<TarSource*>(data);
  std::size_t n = source.filter->Read(out);
  if (n == 0 && source.stream && source.stream->End() != StreamEnd::Clean) {
    archive_set_error(a, EIO, "%s", WhyOf(source.stream->End()));
    return ARCHIVE_FATAL;
  }
  if (n == 0 && source.file && source.file->Failed()) {
    archive_set_error(a, EIO, "read error");
    return ARCHIVE_FATAL;
  }
  return static_cast<la_ssize_t>(n);
}

la_int64_t SourceSkip(struct archive*, void* data, la_int64_t request) {
  if (request <= 0) return 0;
  return static_cast<la_int64_t>(static_cast<TarSource*>(data)->filter->Skip(static_cast<std::uint64_t>(request)));
}

int SourceClose(struct archive*, void* data) {
  delete static_cast<TarSource*>(data);
  return ARCHIVE_OK;
}

struct Handle {
  struct archive* a;
  SharedStream stream;  // null for plain tar and compress
};

Handle OpenAs(const std::string& path, int filter, bool tar, bool raw) {
  auto formats = [&](struct archive* a) {
    // compress reads its header as it starts, which an appended filter
    // cannot do before the file is open; left to bidding alone it can only
    // stack on itself.
    if (filter == ARCHIVE_FILTER_COMPRESS) archive_read_support_filter_compress(a);
    if (tar) {
      archive_read_support_format_tar(a);
      archive_read_support_format_gnutar(a);
    }
    if (raw) {
      archive_read_support_format_raw(a);
      // A compressed stream with nothing in it: one empty file.
      archive_read_support_format_empty(a);
    }
  };
  bool plain = filter == ARCHIVE_FILTER_NONE;
  if (!DecodedHere(filter) && !plain) return {OpenLibarchive(path, formats), nullptr};
  auto* source = new TarSource;
  if (plain) {
    try {
      source->file = std::make_unique<PlainFile>(path);
    } catch (...) {
      delete source;
      throw;
    }
    PlainFile* file = source->file.get();
    source->filter = std::make_unique<PaxRecordFilter>([file](const void** out) { return file->Read(out); },
                                                       [file](std::uint64_t n) { return file->Skip(n); });
  } else {
    try {
      source->stream = std::make_shared<CompressedStream>(path, filter);
    } catch (...) {
      delete source;
      throw;
    }
    CompressedStream* stream = source->stream.get();
    source->filter = std::make_unique<PaxRecordFilter>([stream](const void** out) { return stream->Read(out); },
                                                       [](std::uint64_t) { return std::uint64_t{0}; });
  }
  SharedStream stream = source->stream;
  LibarchiveCall call;
  struct archive* a = archive_read_new();
  if (!a) {
    delete source;
    throw ArcError(ERROR_ENOUGH_MEMORY, "out of memory");
  }
  formats(a);
  archive_read_set_read_callback(a, SourceRead);
  archive_read_set_skip_callback(a, SourceSkip);
  archive_read_set_close_callback(a, SourceClose);
  archive_read_set_callback_data(a, source);
  // The close callback frees the source, also when the open fails.
  if (archive_read_open1(a) != ARCHIVE_OK) {
    std::string why = archive_error_string(a) ? archive_error_string(a) : "not a tar archive";
    archive_read_free(a);
    // A stream that fails at once fails the open.
    if (stream && stream->Ended() && stream->End() != StreamEnd::Clean)
      throw ArcError(ErrorOf(stream->End()), WhyOf(stream->End()));
    throw ArcError(ERROR_NOT_ARC_FILE, why);
  }
  return {a, stream};
}

// True when the decoded stream holds only zeros and ends within
// kLongestEmptyTar bytes: a tar without entries, not a file of data.
bool DecodesToEmptyTar(const std::string& path, int filter) {
  struct archive* a = OpenAs(path, filter, false, true).a;
  struct archive_entry* e = nullptr;
  bool empty = false;
  LibarchiveCall call;
  if (archive_read_next_header(a, &e) == ARCHIVE_OK) {
    std::size_t seen = 0;
    for (;;) {
      const void* buf = nullptr;
      std::size_t size = 0;
      la_int64_t offset = 0;
      int r = archive_read_data_block(a, &buf, &size, &offset);
      if (r == ARCHIVE_EOF) {
        empty = true;
        break;
      }
      if (r != ARCHIVE_OK) break;
      const auto* p = static_cast<const unsigned char*>(buf);
      if (std::any_of(p, p + size, [](unsigned char c) { return c != 0; })) break;
      seen += size;
      if (seen > kLongestEmptyTar) break;
    }
  }
  archive_read_free(a);
  return empty;
}

// libarchive takes a stream that fails before its first output for one
// that holds nothing: only a clean end is an empty stream.
void RequireCleanEmptyStream(const std::string& path, int filter, const SharedStream& stream) {
  if (stream) {
    if (stream->End() != StreamEnd::Clean) throw ArcError(ErrorOf(stream->End()), WhyOf(stream->End()));
    return;
  }
  // compress has no end mark, so no cut shows; its stream decodes to
  // nothing only when no whole code (9 bits at first) follows the 3-byte
  // header. Anything longer that gave nothing had a bad code.
  if (filter != ARCHIVE_FILTER_COMPRESS) return;
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st{};
  bool longer = fd >= 0 && fstat(fd, &st) == 0 && st.st_size > 4;
  if (fd >= 0) close(fd);
  if (longer) throw ArcError(ERROR_BROKEN_DATA, WhyOf(StreamEnd::Damaged));
}

// Reads the first header to tell a tar from a single compressed file.
// Throws ArcError when the file is neither.
Layout LayoutOf(const std::string& path, int filter) {
  Handle h = OpenAs(path, filter, true, filter != ARCHIVE_FILTER_NONE);
  struct archive_entry* e = nullptr;
  LibarchiveCall call;
  int r = archive_read_next_header(h.a, &e);
  int format = archive_format(h.a);
  std::string why = archive_error_string(h.a) ? archive_error_string(h.a) : "not a tar archive";
  archive_read_free(h.a);
  if (format == ARCHIVE_FORMAT_EMPTY) {
    RequireCleanEmptyStream(path, filter, h.stream);
    return Layout::EmptyStream;
  }
  if (format == ARCHIVE_FORMAT_RAW) {
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) throw ArcError(ERROR_NOT_ARC_FILE, why);
    return Layout::Raw;
  }
  if (r == ARCHIVE_OK || r == ARCHIVE_WARN) return Layout::Tar;
  if (r != ARCHIVE_EOF) throw ArcError(ERROR_NOT_ARC_FILE, why);
  // One zero block is a tar's end mark, but data may begin with zeros too.
  if (filter != ARCHIVE_FILTER_NONE && !DecodesToEmptyTar(path, filter)) return Layout::Raw;
  return Layout::Tar;
}

// How much of a compressed stream is decoded past a tar's end mark to see
// it end: more than any record padding, less than a stream made to keep
// the reader busy.
constexpr std::uint64_t kLongestTailAfterTar = 16 << 20;

// A tar's end mark may come before its compressed stream ends: what is
// left of the stream must still end cleanly (a cut trailer shows there).
class StreamEndCheck : public ArchiveReader {
 public:
  StreamEndCheck(std::unique_ptr<LibarchiveReader> inner, SharedStream stream)
      : inner_(std::move(inner)), stream_(std::move(stream)) {}
  bool Next(EntryInfo& info) override {
    if (inner_->Next(info)) return true;
    const void* data = nullptr;
    std::uint64_t tail = 0;
    while (tail <= kLongestTailAfterTar) {
      std::size_t n = stream_->Read(&data);
      if (n == 0) break;
      tail += n;
    }
    if (stream_->Ended() && stream_->End() != StreamEnd::Clean) throw ArcError(ErrorOf(stream_->End()), WhyOf(stream_->End()));
    return false;
  }
  void ReadData(const std::function<bool(const void*, std::size_t)>& sink) override { inner_->ReadData(sink); }
  void ReadSparseData(const std::function<bool(const void*, std::size_t)>& sink,
                      const std::function<bool(std::uint64_t)>& hole) override {
    inner_->ReadSparseData(sink, hole);
  }
  bool ListsCheaply() const override { return inner_->ListsCheaply(); }

 private:
  std::unique_ptr<LibarchiveReader> inner_;
  SharedStream stream_;
};

// A compressed stream that decodes to nothing: one empty file.
class EmptyStreamReader : public ArchiveReader {
 public:
  explicit EmptyStreamReader(EntryInfo info) : info_(std::move(info)) {}
  bool Next(EntryInfo& info) override {
    if (done_) return false;
    done_ = true;
    info = info_;
    return true;
  }
  void ReadData(const std::function<bool(const void*, std::size_t)>&) override {}

 private:
  EntryInfo info_;
  bool done_ = false;
};

struct GzipHeader {
  std::string name;  // FNAME field, file name part only; empty when absent
  std::time_t mtime = 0;
};

// The FNAME field of a buffered gzip member header.
std::string StoredName(const unsigned char* buf, std::size_t n) {
  if (!(buf[3] & 0x08)) return {};
  std::size_t p = 10;
  if (buf[3] & 0x04) {  // FEXTRA
    if (p + 2 > n) return {};
    p += 2 + (buf[p] | buf[p + 1] << 8);
  }
  std::string name;
  for (; p < n && buf[p] != 0; ++p) name += static_cast<char>(buf[p]);
  if (p >= n) return {};
  // Only the file name part counts: the folders of the machine that
  // compressed it mean nothing here.
  std::size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::size_t back = platform::LastByteCharPos(name, '\\');
  if (back != std::string::npos) name.erase(0, back + 1);
  if (name == "." || name == "..") return {};
  return name;
}

GzipHeader ReadGzipHeader(const std::string& path) {
  GzipHeader h;
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return h;
  unsigned char buf[4096];
  ssize_t n = read(fd, buf, sizeof buf);
  close(fd);
  if (n < 10 || buf[0] != 0x1f || buf[1] != 0x8b) return h;
  h.mtime = static_cast<std::time_t>(buf[4] | buf[5] << 8 | buf[6] << 16 | static_cast<std::uint32_t>(buf[7]) << 24);
  h.name = StoredName(buf, static_cast<std::size_t>(n));
  return h;
}

// The method as libarchive names it, also for the streams decoded here.
std::string FilterName(struct archive* h, int filter) {
  if (filter == ARCHIVE_FILTER_NONE) return "tar";
  if (filter == ARCHIVE_FILTER_GZIP) return "gzip";
  if (filter == ARCHIVE_FILTER_BZIP2) return "bzip2";
  if (filter == ARCHIVE_FILTER_XZ) return "xz";
  if (filter == ARCHIVE_FILTER_LZMA) return "lzma";
  if (filter == ARCHIVE_FILTER_ZSTD) return "zstd";
  const char* name = archive_filter_name(h, 0);
  return name ? name : "";
}

}  // namespace

std::string SingleFileName(const std::string& archivePath, bool gzip) {
  if (gzip) {
    std::string stored = ReadGzipHeader(archivePath).name;
    if (!stored.empty()) return stored;
  }
  std::string base = platform::ExtractFileName(archivePath);
  std::string ext = platform::AsciiLower(platform::ExtractFileExt(base));
  if (ext == ".gz" || ext == ".z" || ext == ".bz2" || ext == ".xz" || ext == ".lzma" || ext == ".zst")
    return base.substr(0, base.size() - ext.size());
  if (ext == ".tgz" || ext == ".taz" || ext == ".tbz" || ext == ".txz" || ext == ".tlz" || ext == ".tzst") return base.substr(0, base.size() - ext.size()) + ".tar";
  return base + ".out";
}

std::unique_ptr<ArchiveReader> OpenTarReader(const std::string& path) {
  RequireReadableFile(path);
  int filter = FilterOf(path);
  Layout layout = LayoutOf(path, filter);
  bool gzip = filter == ARCHIVE_FILTER_GZIP;
  if (layout == Layout::EmptyStream) {
    EntryInfo info;
    info.name = SingleFileName(path, gzip);
    info.nameIsUtf8 = LooksLikeUtf8(info.name);
    info.mtime = gzip ? ReadGzipHeader(path).mtime : 0;
    info.attributes = 0x20;
    return std::make_unique<EmptyStreamReader>(info);
  }
  bool raw = layout == Layout::Raw;
  auto hook = [path, filter, raw](struct archive* h, struct archive_entry*, EntryInfo& info) {
    if (raw) {
      info.name = SingleFileName(path, filter == ARCHIVE_FILTER_GZIP);
      // The gzip size field is modulo 2^32 and the others have none.
      info.size = info.compressedSize = 0;
      info.sizeKnown = false;
      info.mtime = filter == ARCHIVE_FILTER_GZIP ? ReadGzipHeader(path).mtime : 0;
    }
    // Name and link target share one coding; ASCII parts tell nothing.
    info.nameIsUtf8 = LooksLikeUtf8(info.name + info.linkTarget);
    info.method = FilterName(h, filter);
  };
  Handle h = OpenAs(path, filter, !raw, raw);
  // Without compression, skipping an entry is a seek.
  auto reader = std::make_unique<LibarchiveReader>(h.a, hook, filter == ARCHIVE_FILTER_NONE);
  if (!h.stream) return reader;
  return std::make_unique<StreamEndCheck>(std::move(reader), h.stream);
}

int DetectTarArchiveType(const std::string& path) {
  try {
    RequireRegularFile(path);
    int filter = FilterOf(path);
    bool tar = LayoutOf(path, filter) == Layout::Tar;
    switch (filter) {
      case ARCHIVE_FILTER_NONE: return tar ? ARCHIVETYPE_TAR : ARCHIVETYPE_NONE;
      case ARCHIVE_FILTER_GZIP: return tar ? ARCHIVETYPE_TARGZ : ARCHIVETYPE_GZ;
      case ARCHIVE_FILTER_COMPRESS: return tar ? ARCHIVETYPE_TARZ : ARCHIVETYPE_Z;
      case ARCHIVE_FILTER_BZIP2: return tar ? ARCHIVETYPE_TARBZ2 : ARCHIVETYPE_BZ2;
      case ARCHIVE_FILTER_XZ: return tar ? ARCHIVETYPE_TARXZ : ARCHIVETYPE_XZ;
      case ARCHIVE_FILTER_LZMA: return tar ? ARCHIVETYPE_TARLZMA : ARCHIVETYPE_LZMA;
      case ARCHIVE_FILTER_ZSTD: return tar ? ARCHIVETYPE_TARZSTD : ARCHIVETYPE_ZSTD;
      default: return ARCHIVETYPE_NONE;
    }
  } catch (const ArcError&) {
    return ARCHIVETYPE_NONE;
  }
}

}  // namespace arc
