// The TAR family through libarchive: tar formats plus "raw" for a single
// compressed file, behind one gzip, bzip2 or compress layer.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "archiver_api.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/shared/name_coding.h"
#include "archivers/shared/reader_opener.h"
#include "archivers/shared/utf8_locale_scope.h"
#include "archivers/tar/stream_check.h"
#include "archivers/tar/tar_family.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace arc {

namespace {

// How many zero bytes may open a tar before it counts as data: a tar with
// nothing in it is only its end blocks padded to a record (10 KiB from
// most tools), so a stream longer than this that starts with zeros is data.
constexpr std::size_t kLongestEmptyTar = 1 << 20;

// The compression filter, told by its signature. It is set explicitly:
// left to itself libarchive would also undo a second layer, giving the
// contents of a .bz2 inside the .bz2 instead of that inner .bz2.
int FilterOf(const std::string& path) {
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ARCHIVE_FILTER_NONE;
  unsigned char m[3] = {};
  ssize_t n = read(fd, m, sizeof m);
  close(fd);
  if (n >= 2 && m[0] == 0x1f && m[1] == 0x8b) return ARCHIVE_FILTER_GZIP;
  if (n >= 2 && m[0] == 0x1f && m[1] == 0x9d) return ARCHIVE_FILTER_COMPRESS;
  if (n >= 3 && m[0] == 'B' && m[1] == 'Z' && m[2] == 'h') return ARCHIVE_FILTER_BZIP2;
  return ARCHIVE_FILTER_NONE;
}

enum class Layout { Tar, Raw, EmptyStream, CutTar };

// What the first header tells. A tar whose compressed stream fails before
// libarchive gets any of it comes with the part that decodes (`cut`).
struct Opened {
  Opened(Layout l) : layout(l) {}
  Opened(std::string prefix, int error, std::string why)
      : layout(Layout::CutTar), cut(std::make_shared<const std::string>(std::move(prefix))),
        cutError(error), cutWhy(std::move(why)) {}
  Layout layout;
  std::shared_ptr<const std::string> cut;
  int cutError = 0;
  std::string cutWhy;
};

// A stream that fails this early is decoded here whole, into memory.
constexpr std::size_t kLongestCutPrefix = 1 << 20;
struct archive* OpenAs(const std::string& path, int filter, bool tar, bool raw) {
  return OpenLibarchive(path, [&](struct archive* a) {
    // compress reads its header as it starts, which an appended filter
    // cannot do before the file is open; left to bidding alone it can only
    // stack on itself.
    if (filter == ARCHIVE_FILTER_COMPRESS)
      archive_read_support_filter_compress(a);
    else if (filter != ARCHIVE_FILTER_NONE)
      archive_read_append_filter(a, filter);
    if (tar) {
      archive_read_support_format_tar(a);
      archive_read_support_format_gnutar(a);
    }
    if (raw) {
      archive_read_support_format_raw(a);
      // A compressed stream with nothing in it: one empty file.
      archive_read_support_format_empty(a);
    }
  });
}

// True when the decoded stream holds only zeros and ends within
// kLongestEmptyTar bytes: a tar without entries, not a file of data.
bool DecodesToEmptyTar(const std::string& path, int filter) {
  struct archive* a = OpenAs(path, filter, false, true);
  struct archive_entry* e = nullptr;
  bool empty = false;
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

bool IsTar(const std::string& bytes) {
  Utf8LocaleScope locale;
  struct archive* a = archive_read_new();
  if (!a) return false;
  archive_read_support_format_tar(a);
  archive_read_support_format_gnutar(a);
  struct archive_entry* e = nullptr;
  bool tar = archive_read_open_memory(a, bytes.data(), bytes.size()) == ARCHIVE_OK &&
             archive_read_next_header(a, &e) == ARCHIVE_OK;
  archive_read_free(a);
  return tar;
}

// libarchive takes a stream whose decoder fails before its first output
// for one that holds nothing. Only a stream that decodes to a clean end
// is empty; a cut or damaged one is an error, after the whole entries of
// a tar inside it.
Opened CheckEmptyStream(const std::string& path, int filter) {
  DecodedStream d = DecodeStream(path, filter, kLongestCutPrefix);
  if (d.end == StreamEnd::Clean && d.prefix.empty() && !d.overLimit) return Layout::EmptyStream;
  int code = d.end == StreamEnd::CutShort ? ERROR_UNEXPECTED_EOF : ERROR_BROKEN_DATA;
  std::string why = d.end == StreamEnd::CutShort ? "the compressed stream is cut short"
                                                 : "the compressed stream is damaged";
  if (!IsTar(d.prefix)) throw ArcError(code, why);
  return Opened(std::move(d.prefix), code, why);
}

// Reads the first header to tell a tar from a single compressed file.
// Throws ArcError when the file is neither.
Opened LayoutOf(const std::string& path, int filter) {
  struct archive* a = OpenAs(path, filter, true, filter != ARCHIVE_FILTER_NONE);
  struct archive_entry* e = nullptr;
  int r = archive_read_next_header(a, &e);
  int format = archive_format(a);
  std::string why = archive_error_string(a) ? archive_error_string(a) : "not a tar archive";
  archive_read_free(a);
  if (format == ARCHIVE_FORMAT_EMPTY) return CheckEmptyStream(path, filter);
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

// The whole entries of a tar whose compressed stream fails early, read
// from the part that decodes; its end is the stream's error.
class CutTarReader : public ArchiveReader {
 public:
  CutTarReader(Opened opened, const LibarchiveReader::EntryHook& hook) : opened_(std::move(opened)) {
    Utf8LocaleScope locale;
    struct archive* a = archive_read_new();
    if (!a) throw ArcError(ERROR_ENOUGH_MEMORY, "out of memory");
    archive_read_support_format_tar(a);
    archive_read_support_format_gnutar(a);
    if (archive_read_open_memory(a, opened_.cut->data(), opened_.cut->size()) != ARCHIVE_OK) {
      archive_read_free(a);
      throw ArcError(opened_.cutError, opened_.cutWhy);
    }
    inner_ = std::make_unique<LibarchiveReader>(a, hook, false);
  }
  bool Next(EntryInfo& info) override {
    if (!inner_->Next(info)) throw ArcError(opened_.cutError, opened_.cutWhy);
    return true;
  }
  void ReadData(const std::function<bool(const void*, std::size_t)>& sink) override { inner_->ReadData(sink); }
  void ReadSparseData(const std::function<bool(const void*, std::size_t)>& sink,
                      const std::function<bool(std::uint64_t)>& hole) override {
    inner_->ReadSparseData(sink, hole);
  }
  bool ListsCheaply() const override { return false; }

 private:
  Opened opened_;  // holds the bytes the inner reader reads
  std::unique_ptr<LibarchiveReader> inner_;
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
// libarchive's names for the filters.
const char* CutFilterName(int filter) {
  return filter == ARCHIVE_FILTER_GZIP ? "gzip" : filter == ARCHIVE_FILTER_BZIP2 ? "bzip2" : "compress (.Z)";
}
}  // namespace

std::string SingleFileName(const std::string& archivePath, bool gzip) {
  if (gzip) {
    std::string stored = ReadGzipHeader(archivePath).name;
    if (!stored.empty()) return stored;
  }
  std::string base = platform::ExtractFileName(archivePath);
  std::string ext = platform::AsciiLower(platform::ExtractFileExt(base));
  if (ext == ".gz" || ext == ".z" || ext == ".bz2") return base.substr(0, base.size() - ext.size());
  if (ext == ".tgz" || ext == ".taz" || ext == ".tbz") return base.substr(0, base.size() - ext.size()) + ".tar";
  return base + ".out";
}

std::unique_ptr<ArchiveReader> OpenTarReader(const std::string& path) {
  RequireReadableFile(path);
  int filter = FilterOf(path);
  Opened opened = LayoutOf(path, filter);
  Layout layout = opened.layout;
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
  bool cut = layout == Layout::CutTar;
  auto hook = [path, filter, raw, cut](struct archive* h, struct archive_entry*, EntryInfo& info) {
    if (raw) {
      info.name = SingleFileName(path, filter == ARCHIVE_FILTER_GZIP);
      // The gzip size field is modulo 2^32 and the others have none.
      info.size = info.compressedSize = 0;
      info.sizeKnown = false;
      info.mtime = filter == ARCHIVE_FILTER_GZIP ? ReadGzipHeader(path).mtime : 0;
    }
    // Name and link target share one coding; ASCII parts tell nothing.
    info.nameIsUtf8 = LooksLikeUtf8(info.name + info.linkTarget);
    // A cut stream's part is read from memory, with no filter to name.
    const char* fname = filter == ARCHIVE_FILTER_NONE ? "tar" : cut ? CutFilterName(filter) : archive_filter_name(h, 0);
    info.method = fname ? fname : "";
  };
  if (layout == Layout::CutTar) return std::make_unique<CutTarReader>(std::move(opened), hook);
  struct archive* a = OpenAs(path, filter, !raw, raw);
  // Without compression, skipping an entry is a seek.
  return std::make_unique<LibarchiveReader>(a, hook, filter == ARCHIVE_FILTER_NONE);
}

int DetectTarArchiveType(const std::string& path) {
  try {
    RequireRegularFile(path);
    int filter = FilterOf(path);
    Layout layout = LayoutOf(path, filter).layout;
    bool tar = layout == Layout::Tar || layout == Layout::CutTar;
    switch (filter) {
      case ARCHIVE_FILTER_NONE: return tar ? ARCHIVETYPE_TAR : ARCHIVETYPE_NONE;
      case ARCHIVE_FILTER_GZIP: return tar ? ARCHIVETYPE_TARGZ : ARCHIVETYPE_GZ;
      case ARCHIVE_FILTER_COMPRESS: return tar ? ARCHIVETYPE_TARZ : ARCHIVETYPE_Z;
      case ARCHIVE_FILTER_BZIP2: return tar ? ARCHIVETYPE_TARBZ2 : ARCHIVETYPE_BZ2;
      default: return ARCHIVETYPE_NONE;
    }
  } catch (const ArcError&) {
    return ARCHIVETYPE_NONE;
  }
}

}  // namespace arc
