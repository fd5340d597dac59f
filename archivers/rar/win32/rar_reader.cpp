// Reader of RAR archives on Windows: RAR 1.5-4.x through libarchive's RAR
// reader (libunarr is not part of the Windows build), RAR 5 through the RAR 5
// reader.
//
// As on Linux, the headers are read by the engine itself: libarchive
// decodes the data, and names, flags, CRCs and times come from our own walk
// over the file headers, one per libarchive entry in archive order. Names
// follow the same rule: the raw bytes as CP932, or the Unicode form when the
// header has one (CP932 when every character fits, UTF-8 otherwise).
#include <archive.h>
#include <archive_entry.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/libarchive_call.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/rar/rar_header.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace arc {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr std::uint8_t kStoreMethod = 0x30, kBestMethod = 0x35;
constexpr std::uint8_t kFileHeaderType = 0x74, kEndType = 0x7B;
constexpr std::uint16_t kLongBlock = 0x8000;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Every file header of the archive, in order. Blocks other than file
// headers are stepped over by their sizes.
std::vector<rar::FileHeader> ScanFileHeaders(std::FILE* f) {
  std::vector<rar::FileHeader> out;
  if (_fseeki64(f, 0, SEEK_END) != 0) throw ArcError(ERROR_CANNOT_READ, "cannot read the archive");
  const std::uint64_t end = static_cast<std::uint64_t>(_ftelli64(f));
  std::uint64_t offset = sizeof rar::kRar4Signature;
  while (offset + 7 <= end) {
    std::uint8_t base[11] = {};
    if (_fseeki64(f, static_cast<long long>(offset), SEEK_SET) != 0 || std::fread(base, 1, 7, f) != 7) break;
    std::uint8_t type = base[2];
    std::uint16_t flags = Le16(base + 3);
    std::uint64_t size = Le16(base + 5);
    if (size < 7) throw ArcError(ERROR_HEADER_BROKEN, "RAR header is damaged");
    if (type == kEndType) break;
    if (type == kFileHeaderType) {
      rar::FileHeader h = rar::ReadFileHeader(f, offset);
      offset = h.dataOffset + h.packSize;
      out.push_back(std::move(h));
      continue;
    }
    if (flags & kLongBlock) {
      if (std::fread(base + 7, 1, 4, f) != 4) break;
      size += Le32(base + 7);
    }
    offset += size;
  }
  return out;
}

void SetName(const rar::FileHeader& h, struct archive_entry* e, EntryInfo& info) {
  if (h.flags & rar::kUnicodeName) {
    if (const wchar_t* wide = archive_entry_pathname_w(e)) {
      std::string utf8 = platform::win32::WideToUtf8(wide);
      for (auto& c : utf8)
        if (c == '\\') c = '/';
      std::string cp932;
      if (platform::TryUtf8ToCp932(utf8, cp932)) {
        info.name = cp932;
      } else {
        info.name = utf8;
        info.nameIsUtf8 = true;
      }
      return;
    }
  }
  info.name = BackslashesToSlashes(std::string(h.name.c_str()));  // up to the zero before any Unicode form
}

class Rar4Reader : public ArchiveReader {
 public:
  Rar4Reader(struct archive* a, std::vector<rar::FileHeader> headers, std::uint64_t fileSize)
      : a_(a), headers_(std::move(headers)), fileSize_(fileSize) {}
  ~Rar4Reader() override { archive_read_free(a_); }

  bool Next(EntryInfo& info) override {
    LibarchiveCall call;
    struct archive_entry* e = nullptr;
    int r = archive_read_next_header(a_, &e);
    if (r == ARCHIVE_EOF) return false;
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) throw ArcError(ERROR_HEADER_BROKEN, "RAR archive is damaged");
    if (index_ >= headers_.size()) throw ArcError(ERROR_HEADER_BROKEN, "RAR archive is damaged");
    header_ = headers_[index_++];
    hasEntry_ = true;
    dataRead_ = false;

    info = EntryInfo{};
    SetName(header_, e, info);
    info.isDirectory = header_.Directory();
    info.size = header_.unpSize;
    info.compressedSize = header_.packSize;
    info.crc = header_.fileCrc;
    info.mtime = DosDateTimeToUnix(header_.dosTime);
    bool dosHost = header_.hostOs == rar::kMsDos || header_.hostOs == rar::kOs2 || header_.hostOs == rar::kWin32;
    if (dosHost) info.attributes = header_.attributes & 0xFF;
    if (info.isDirectory) info.attributes |= 0x10;
    info.osType = header_.hostOs;
    if (header_.method >= kStoreMethod && header_.method <= kBestMethod) {
      info.method = "-m" + std::to_string(header_.method - kStoreMethod) + "-";
    }
    info.encrypted = header_.Encrypted();
    return true;
  }

  void ReadData(const std::function<bool(const void*, std::size_t)>& sink) override {
    if (!hasEntry_ || dataRead_) throw ArcError(ERROR_NOT_SEARCH_MODE, "no current entry");
    dataRead_ = true;
    LibarchiveCall call;
    if (header_.Directory()) return;
    if (header_.Encrypted()) throw ArcError(ERROR_PASSWORD_FILE, "RAR entry is encrypted");
    if (header_.Split()) throw ArcError(ERROR_NOT_SUPPORT, "RAR entry spans volumes");
    if (header_.method < kStoreMethod || header_.method > kBestMethod) {
      throw ArcError(ERROR_METHOD, "unknown RAR method");
    }
    // A cut archive is told apart from damaged data before decoding.
    if (fileSize_ < header_.dataOffset + header_.packSize) {
      throw ArcError(ERROR_UNEXPECTED_EOF, "RAR archive is cut short");
    }
    std::uint32_t crc = 0;
    bool wanted = true;
    for (;;) {
      const void* buf = nullptr;
      std::size_t size = 0;
      la_int64_t offset = 0;
      int r = archive_read_data_block(a_, &buf, &size, &offset);
      if (r == ARCHIVE_EOF) break;
      if (r != ARCHIVE_OK) {
        const char* why = archive_error_string(a_);
        bool crcFailed = why && std::strstr(why, "CRC");
        throw ArcError(crcFailed ? ERROR_FILE_CRC : ERROR_BROKEN_DATA, "RAR entry is damaged");
      }
      crc = Crc32(crc, buf, size);
      // libarchive decodes a solid archive's skipped entries itself, so
      // stopping early is safe.
      if (wanted && size > 0 && !sink(buf, size)) wanted = false;
      if (!wanted) return;
    }
    if (crc != header_.fileCrc) throw ArcError(ERROR_FILE_CRC, "RAR entry fails its CRC");
  }

 private:
  struct archive* a_;
  std::vector<rar::FileHeader> headers_;
  std::uint64_t fileSize_;
  std::size_t index_ = 0;
  rar::FileHeader header_;
  bool hasEntry_ = false;
  bool dataRead_ = false;
};

}  // namespace

std::unique_ptr<ArchiveReader> OpenRarReader(const std::string& path) {
  std::string fsPath = platform::FsName(path);
  std::unique_ptr<std::FILE, FileCloser> file(fopen(fsPath.c_str(), "rb"));
  if (!file) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  unsigned char sig[sizeof rar::kRar5Signature] = {};
  std::size_t n = std::fread(sig, 1, sizeof sig, file.get());
  if (n == sizeof sig && std::memcmp(sig, rar::kRar5Signature, sizeof sig) == 0) {
    file.reset();
    return OpenRar5Reader(path);
  }
  if (n < sizeof rar::kRar4Signature || std::memcmp(sig, rar::kRar4Signature, sizeof rar::kRar4Signature) != 0) {
    throw ArcError(ERROR_NOT_ARC_FILE, "not a RAR archive");
  }
  std::uint16_t flags = rar::ReadArchiveFlags(file.get());
  if (flags & rar::kArchiveEncryptedHeaders) throw ArcError(ERROR_PASSWORD_FILE, "RAR headers are encrypted");
  std::vector<rar::FileHeader> headers = ScanFileHeaders(file.get());
  _fseeki64(file.get(), 0, SEEK_END);
  std::uint64_t size = static_cast<std::uint64_t>(_ftelli64(file.get()));
  struct archive* a = OpenLibarchive(path, [](struct archive* h) { archive_read_support_format_rar(h); });
  return std::make_unique<Rar4Reader>(a, std::move(headers), size);
}

}  // namespace arc
