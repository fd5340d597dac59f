// The TAR family through libarchive: tar formats plus "raw" for a single
// compressed file, behind the gzip, bzip2 and compress filters only.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "archiver_api.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/shared/name_coding.h"
#include "archivers/shared/reader_opener.h"
#include "archivers/tar/tar_family.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace arc {

namespace {
void ConfigureTar(struct archive* a) {
  archive_read_support_filter_gzip(a);
  archive_read_support_filter_bzip2(a);
  archive_read_support_filter_compress(a);
  archive_read_support_format_tar(a);
  archive_read_support_format_gnutar(a);
  archive_read_support_format_raw(a);
}

bool IsRaw(struct archive* a) { return archive_format(a) == ARCHIVE_FORMAT_RAW; }

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
  if (DetectTarArchiveType(path) == ARCHIVETYPE_NONE) throw ArcError(ERROR_NOT_ARC_FILE, "not a tar archive: " + path);
  struct archive* a = OpenLibarchive(path, ConfigureTar);
  int filter = archive_filter_code(a, 0);
  auto hook = [path, filter](struct archive* h, struct archive_entry*, EntryInfo& info) {
    if (IsRaw(h)) {
      // A raw stream without a compression filter is any file at all.
      if (filter == ARCHIVE_FILTER_NONE) throw ArcError(ERROR_NOT_ARC_FILE, "not a tar archive");
      info.name = SingleFileName(path, filter == ARCHIVE_FILTER_GZIP);
      info.size = info.compressedSize = 0;
      info.mtime = filter == ARCHIVE_FILTER_GZIP ? ReadGzipHeader(path).mtime : 0;
    }
    // Name and link target share one coding; ASCII parts tell nothing.
    info.nameIsUtf8 = LooksLikeUtf8(info.name + info.linkTarget);
    const char* fname = archive_filter_name(h, 0);
    info.method = filter == ARCHIVE_FILTER_NONE ? "tar" : fname ? fname : "";
  };
  return std::make_unique<LibarchiveReader>(a, hook);
}

int DetectTarArchiveType(const std::string& path) {
  try {
    RequireRegularFile(path);
    struct archive* a = OpenLibarchive(path, ConfigureTar);
    struct archive_entry* e = nullptr;
    int r = archive_read_next_header(a, &e);
    int filter = archive_filter_code(a, 0);
    bool raw = IsRaw(a);
    bool ok = r == ARCHIVE_OK || r == ARCHIVE_WARN || (r == ARCHIVE_EOF && !raw);
    archive_read_free(a);
    if (!ok) return ARCHIVETYPE_NONE;
    switch (filter) {
      case ARCHIVE_FILTER_NONE: return raw ? ARCHIVETYPE_NONE : ARCHIVETYPE_TAR;
      case ARCHIVE_FILTER_GZIP: return raw ? ARCHIVETYPE_GZ : ARCHIVETYPE_TARGZ;
      case ARCHIVE_FILTER_COMPRESS: return raw ? ARCHIVETYPE_Z : ARCHIVETYPE_TARZ;
      case ARCHIVE_FILTER_BZIP2: return raw ? ARCHIVETYPE_BZ2 : ARCHIVETYPE_TARBZ2;
      default: return ARCHIVETYPE_NONE;
    }
  } catch (const ArcError&) {
    return ARCHIVETYPE_NONE;
  }
}

}  // namespace arc
