// Reader of RAR archives: RAR 1.5-4.x through libunarr (solid archives
// included), RAR 5 through the RAR 5 reader.
//
// Names of RAR 1.5-4.x entries are read from the headers ourselves
// (rar_name.h): libunarr reads plain names as code page 437 and garbles
// packed Unicode names. An entry made on a Unix host with a link mode is a
// symbolic link whose data is its target.
#include <unarr.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "archiver_api.h"
#include "archivers/rar/rar_header.h"
#include "archivers/rar/rar_name.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/name_coding.h"
#include "archivers/shared/stdio_file.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace arc {

namespace {

struct StreamCloser {
  void operator()(ar_stream* s) const { ar_close(s); }
};
struct ArchiveCloser {
  void operator()(ar_archive* a) const { ar_close_archive(a); }
};

constexpr std::uint8_t kStoreMethod = 0x30, kBestMethod = 0x35;
constexpr std::size_t kChunk = 1 << 16;

constexpr std::uint8_t kUnixHost = 3;
constexpr std::uint32_t kUnixTypeMask = 0170000, kUnixSymlink = 0120000;
constexpr std::size_t kMaxLinkTarget = 4096;

void SetName(const rar::FileHeader& h, EntryInfo& info) {
  rar::EntryName name = rar::DecodeEntryName(h.name, h.flags & rar::kUnicodeName, h.hostOs);
  if (name.utf8) {
    for (char& c : name.bytes)
      if (c == '\\') c = '/';  // in UTF-8 this byte is always the separator
  }
  info.name = name.utf8 ? name.bytes : BackslashesToSlashes(name.bytes);
  info.nameIsUtf8 = name.utf8;
}

// A link's target is coded like its name. A UTF-8 target under an ASCII
// name makes both UTF-8; under a CP932 name it is turned into CP932 when it
// comes back unchanged.
void SetLinkTarget(std::string target, EntryInfo& info) {
  if (!info.nameIsUtf8 && LooksLikeUtf8(target)) {
    std::string cp932;
    bool asciiName = std::all_of(info.name.begin(), info.name.end(), [](char c) { return (c & 0x80) == 0; });
    if (asciiName)
      info.nameIsUtf8 = true;
    else if (platform::TryUtf8ToCp932(target, cp932))
      target = cp932;
  }
  info.linkTarget = std::move(target);
}

class Rar4Reader : public ArchiveReader {
 public:
  Rar4Reader(StdioFile file, std::unique_ptr<ar_stream, StreamCloser> stream,
             std::unique_ptr<ar_archive, ArchiveCloser> archive, std::uint16_t archiveFlags)
      : file_(std::move(file)), stream_(std::move(stream)), archive_(std::move(archive)),
        solid_(archiveFlags & rar::kArchiveSolid) {}

  bool Next(EntryInfo& info) override {
    // In a solid archive every entry's data continues the previous one's,
    // so skipped data is decoded all the same.
    if (hasEntry_ && !dataRead_ && solid_) {
      try {
        ReadData([](const void*, std::size_t) { return true; });
      } catch (const ArcError&) {
        // The entries that depend on it report their own failure.
      }
    }
    hasEntry_ = false;
    if (!ar_parse_entry(archive_.get())) {
      if (ar_at_eof(archive_.get())) return false;
      throw ArcError(ERROR_HEADER_BROKEN, "RAR archive is damaged");
    }
    header_ = rar::ReadFileHeader(file_.get(), static_cast<std::uint64_t>(ar_entry_get_offset(archive_.get())));
    hasEntry_ = true;
    dataRead_ = false;
    link_ = false;

    info = EntryInfo{};
    SetName(header_, info);
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
    if (header_.hostOs == kUnixHost && (header_.attributes & kUnixTypeMask) == kUnixSymlink && !info.isDirectory) {
      // A target that cannot be read stays empty, and the link is refused.
      std::string target;
      if (!info.encrypted && header_.unpSize <= kMaxLinkTarget) {
        ReadData([&](const void* data, std::size_t size) {
          target.append(static_cast<const char*>(data), size);
          return true;
        });
      }
      info.isSymlink = true;
      link_ = true;
      SetLinkTarget(std::move(target), info);
    }
    return true;
  }

  // Skipping in a solid archive decodes.
  bool ListsCheaply() const override { return !solid_; }

  void ReadData(const std::function<bool(const void*, std::size_t)>& sink) override {
    if (link_) return;  // its data is the target, already taken
    if (!hasEntry_ || dataRead_) throw ArcError(ERROR_NOT_SEARCH_MODE, "no current entry");
    dataRead_ = true;
    if (header_.Directory()) return;
    if (header_.Encrypted()) throw ArcError(ERROR_PASSWORD_FILE, "RAR entry is encrypted");
    if (header_.Split()) throw ArcError(ERROR_NOT_SUPPORT, "RAR entry spans volumes");
    if (header_.method < kStoreMethod || header_.method > kBestMethod) {
      throw ArcError(ERROR_METHOD, "unknown RAR method");
    }
    // A cut archive is told apart from damaged data before decoding.
    if (fseeko(file_.get(), 0, SEEK_END) != 0 ||
        static_cast<std::uint64_t>(ftello(file_.get())) < header_.dataOffset + header_.packSize) {
      throw ArcError(ERROR_UNEXPECTED_EOF, "RAR archive is cut short");
    }
    std::size_t left = ar_entry_get_size(archive_.get());
    std::vector<std::uint8_t> buf(kChunk);
    std::uint32_t crc = 0;
    bool wanted = true;
    while (left > 0) {
      std::size_t n = left < kChunk ? left : kChunk;
      bool ok = ar_entry_uncompress(archive_.get(), buf.data(), n);
      crc = Crc32(crc, buf.data(), n);
      if (!ok) {
        // libunarr also fails the last piece when the CRC does not match;
        // the data is in the buffer then, so the CRC tells the two apart.
        bool crcFailed = n == left && crc != header_.fileCrc;
        throw ArcError(crcFailed ? ERROR_FILE_CRC : ERROR_BROKEN_DATA, "RAR entry is damaged");
      }
      left -= n;
      if (wanted && !sink(buf.data(), n)) {
        // A solid archive's next entry needs this one decoded to its end.
        if (!solid_) return;
        wanted = false;
      }
    }
    if (crc != header_.fileCrc) throw ArcError(ERROR_FILE_CRC, "RAR entry fails its CRC");
  }

 private:
  StdioFile file_;  // our own view, for the headers
  std::unique_ptr<ar_stream, StreamCloser> stream_;
  std::unique_ptr<ar_archive, ArchiveCloser> archive_;
  bool solid_;
  rar::FileHeader header_;
  bool hasEntry_ = false;
  bool dataRead_ = false;
  bool link_ = false;  // a Unix symbolic link: no data beyond its target
};

}  // namespace

std::unique_ptr<ArchiveReader> OpenRarReader(const std::string& path) {
  std::string fsPath = platform::FsName(path);
  StdioFile file(fopen(fsPath.c_str(), "rb"));
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

  std::unique_ptr<ar_stream, StreamCloser> stream(ar_open_file(fsPath.c_str()));
  if (!stream) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  std::unique_ptr<ar_archive, ArchiveCloser> archive(ar_open_rar_archive(stream.get()));
  if (!archive) throw ArcError(ERROR_NOT_ARC_FILE, "not a RAR archive");
  return std::make_unique<Rar4Reader>(std::move(file), std::move(stream), std::move(archive), flags);
}

}  // namespace arc
