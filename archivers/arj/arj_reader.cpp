// SPDX-License-Identifier: MIT
// Reader of ARJ archives with our own decoder: no library reads ARJ.
// A multi-volume archive ("x.arj", "x.a01"...) is read from its first
// volume on: an entry that goes on into the next volume is stored there
// again as a part of its own (its own header, packed and checked apart),
// and the parts are joined here.
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archivers/arj/arj_decoder.h"
#include "archivers/arj/arj_header.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/shared/stdio_file.h"
#include "archivers/shared/volume_names.h"
#include "platform/paths.h"
#include "archivers/arj/arj_format.h"

namespace arc {

namespace {

using arj::Header;

// Self-extracting archives carry the archive after an executable stub; the
// main header is looked for that far in them, and only at the start of
// anything else.
constexpr std::uint64_t kMaxStubSize = 1u << 20;

class ArjReader : public ArchiveReader {
 public:
  ArjReader(StdioFile file, std::uint64_t next, std::string path = {})
      : file_(std::move(file)), next_(next), path_(std::move(path)) {}

  // The main header's flags: whether a volume follows.
  void SetMainFlags(std::uint8_t flags) {
    mainFlags_ = flags;
    volumeSet_ = flags & arj::kVolume;
  }

  // A walk over a set's headers would stop at a missing volume before any
  // entry came out.
  bool ListsCheaply() const override { return !volumeSet_; }

  bool Next(EntryInfo& info) override {
    while (!ended_) {
      std::optional<Header> h = ReadHeaderAt(next_);
      if (!h) {
        if (!(mainFlags_ & arj::kVolume)) {
          ended_ = true;
          break;
        }
        OpenVolume(NextVolumeName(path_));
        continue;
      }
      current_ = std::move(*h);
      dataStart_ = next_;
      next_ = dataStart_ + current_.compressedSize;
      // The rest of an entry from the volume before: read with it.
      if (current_.flags & arj::kExtFile) continue;
      if (current_.fileType == arj::kBinary || current_.fileType == arj::kText ||
          current_.fileType == arj::kDirectory) {
        Fill(info);
        if (current_.flags & arj::kVolume) {
          info.size = WholeSize();
          info.crc = 0;  // each part has its own
        }
        hasEntry_ = true;
        return true;
      }
      // Volume and chapter labels are no entries.
    }
    hasEntry_ = false;
    return false;
  }

  void ReadData(const std::function<bool(const void*, std::size_t)>& sink) override {
    if (!hasEntry_) throw ArcError(ERROR_NOT_SEARCH_MODE, "no current entry");
    hasEntry_ = false;  // the data is read once
    if (current_.fileType == arj::kDirectory) return;
    if (current_.flags & arj::kGarbled) throw ArcError(ERROR_PASSWORD_FILE, "ARJ entry is encrypted");
    if (current_.flags & arj::kExtFile) throw ArcError(ERROR_NOT_SUPPORT, "ARJ entry spans volumes");
    std::uint64_t written = 0;
    for (;;) {
      if (!ReadPart(sink, written)) return;
      if (!(current_.flags & arj::kVolume)) return;
      // The next part starts the next volume.
      std::string name = current_.name;
      OpenVolume(NextVolumeName(path_));
      std::optional<Header> h = ReadHeaderAt(next_);
      if (!h || !(h->flags & arj::kExtFile) || h->name != name)
        throw ArcError(ERROR_HEADER_BROKEN, "ARJ volume does not go on with the entry");
      current_ = std::move(*h);
      dataStart_ = next_;
      next_ = dataStart_ + current_.compressedSize;
    }
  }

 private:
  // Decodes the current part; false when the sink stopped.
  bool ReadPart(const std::function<bool(const void*, std::size_t)>& sink, std::uint64_t& written) {
    if (current_.method > 4) throw ArcError(ERROR_METHOD, "unknown ARJ method");
    Seek(dataStart_);

    std::uint32_t left = current_.compressedSize;
    arj::ByteSource source = [&](std::uint8_t* buf, std::size_t size) -> std::size_t {
      std::size_t want = size < left ? size : left;
      std::size_t got = want ? std::fread(buf, 1, want, file_.get()) : 0;
      left -= static_cast<std::uint32_t>(got);
      return got;
    };
    std::uint32_t crc = 0;
    arj::Sink counted = [&](const void* data, std::size_t size) {
      crc = Crc32(crc, data, size);
      written += size;
      return sink(data, size);
    };

    bool complete;
    if (current_.method == 0) {
      if (current_.compressedSize != current_.originalSize) {
        throw ArcError(ERROR_BROKEN_DATA, "stored ARJ entry changes size");
      }
      complete = CopyStored(source, counted);
    } else {
      complete = arj::Decode(current_.method, source, current_.originalSize, counted);
    }
    if (complete && crc != current_.crc) throw ArcError(ERROR_FILE_CRC, "ARJ entry fails its CRC");
    return complete;
  }

  // Goes on at the first header after the main header of the volume at
  // `path`; a volume not there is named.
  void OpenVolume(const std::string& path) {
    StdioFile file(path.empty() ? nullptr : fopen(platform::FsName(path).c_str(), "rb"));
    if (!file) throw ArcError(ERROR_UNEXPECTED_EOF, "missing volume " + (path.empty() ? path_ + " (next)" : path));
    file_ = std::move(file);
    path_ = path;
    std::optional<Header> main = ReadHeaderAt(0);
    if (!main || main->fileType != arj::kMainHeader) throw ArcError(ERROR_NOT_ARC_FILE, "not an ARJ volume: " + path);
    mainFlags_ = main->flags;
  }

  // The whole length of the current entry: its parts in the volumes that
  // follow, as far as they are there.
  std::uint64_t WholeSize() const {
    std::uint64_t total = current_.originalSize;
    std::string path = path_;
    for (int guard = 0; guard < 1000; ++guard) {
      path = NextVolumeName(path);
      StdioFile file(path.empty() ? nullptr : fopen(platform::FsName(path).c_str(), "rb"));
      if (!file) break;
      ArjReader volume(std::move(file), 0);
      try {
        if (!volume.ReadHeaderAt(0)) break;
        std::optional<Header> part = volume.ReadHeaderAt(volume.next_);
        if (!part || !(part->flags & arj::kExtFile) || part->name != current_.name) break;
        total += part->originalSize;
        if (!(part->flags & arj::kVolume)) break;
      } catch (const ArcError&) {
        break;
      }
    }
    return total;
  }

  bool CopyStored(const arj::ByteSource& source, const arj::Sink& sink) {
    std::vector<std::uint8_t> buf(1 << 16);
    std::uint32_t left = current_.originalSize;
    while (left > 0) {
      std::size_t got = source(buf.data(), buf.size());
      if (got == 0) throw ArcError(ERROR_UNEXPECTED_EOF, "ARJ entry data is cut short");
      left -= static_cast<std::uint32_t>(got);
      if (!sink(buf.data(), got)) return false;
    }
    return true;
  }

  void Fill(EntryInfo& info) const {
    info = EntryInfo{};
    info.name = (current_.flags & arj::kPathSym) ? current_.name : BackslashesToSlashes(current_.name);
    info.isDirectory = current_.fileType == arj::kDirectory;
    info.size = current_.originalSize;
    info.compressedSize = current_.compressedSize;
    info.crc = current_.crc;
    // arj on UNIX-like hosts stores the file's own time_t, not a DOS stamp.
    bool unixHost = current_.hostOs == arj::kUnix || current_.hostOs == arj::kNext;
    info.mtime = unixHost ? static_cast<std::time_t>(current_.time) : DosDateTimeToUnix(current_.time);
    bool dosHost = current_.hostOs == arj::kMsDos || current_.hostOs == arj::kOs2 ||
                   current_.hostOs == arj::kWin95 || current_.hostOs == arj::kWin32;
    if (dosHost) info.attributes = current_.accessMode & 0xFF;
    if (info.isDirectory) info.attributes |= 0x10;
    info.osType = current_.hostOs;
    info.method = "-m" + std::to_string(current_.method) + "-";
    info.encrypted = (current_.flags & arj::kGarbled) != 0;
  }

 public:
  // The header at pos, or nullopt for the end-of-archive mark. Moves next_
  // past the header and its extended headers.
  std::optional<Header> ReadHeaderAt(std::uint64_t pos) {
    Seek(pos);
    std::uint8_t head[4];
    ReadExact(head, 4);
    if (head[0] != 0x60 || head[1] != 0xEA) throw ArcError(ERROR_HEADER_BROKEN, "no ARJ header here");
    std::size_t size = head[2] | head[3] << 8;
    if (size == 0) return std::nullopt;
    if (size > arj::kMaxBasicHeaderSize) throw ArcError(ERROR_HEADER_BROKEN, "ARJ header too large");
    std::uint8_t basic[arj::kMaxBasicHeaderSize + 4];
    ReadExact(basic, size + 4);
    if (Crc32(0, basic, size) != Le32(basic + size)) {
      throw ArcError(ERROR_HEADER_CRC, "ARJ header fails its CRC");
    }
    Header h = arj::ParseBasicHeader(basic, size);
    std::uint64_t at = pos + 4 + size + 4;
    SkipExtendedHeaders(at);
    next_ = at;
    return h;
  }

 private:
  // Extended headers carry nothing this reader uses; their CRCs are still
  // checked so that damage there is not passed over.
  void SkipExtendedHeaders(std::uint64_t& at) {
    for (;;) {
      std::uint8_t sizeBytes[2];
      ReadExact(sizeBytes, 2);
      at += 2;
      std::size_t size = sizeBytes[0] | sizeBytes[1] << 8;
      if (size == 0) return;
      std::uint8_t buf[4096];
      std::uint32_t crc = 0;
      for (std::size_t left = size; left > 0;) {
        std::size_t n = left < sizeof buf ? left : sizeof buf;
        ReadExact(buf, n);
        crc = Crc32(crc, buf, n);
        left -= n;
      }
      ReadExact(buf, 4);
      if (crc != Le32(buf)) throw ArcError(ERROR_HEADER_CRC, "ARJ extended header fails its CRC");
      at += size + 4;
    }
  }

  void Seek(std::uint64_t pos) {
    if (!SeekFromStart(file_.get(), pos)) {
      throw ArcError(ERROR_UNEXPECTED_EOF, "ARJ archive is cut short");
    }
  }
  void ReadExact(void* buf, std::size_t n) {
    if (std::fread(buf, 1, n, file_.get()) != n) throw ArcError(ERROR_UNEXPECTED_EOF, "ARJ archive is cut short");
  }

  StdioFile file_;
  std::uint64_t next_;
  std::string path_;  // the volume being read
  std::uint8_t mainFlags_ = 0;
  bool volumeSet_ = false;
  std::uint64_t dataStart_ = 0;
  Header current_;
  bool hasEntry_ = false;
  bool ended_ = false;
};

// A self-extractor's stub is searched for the first id bytes that start
// a sound main header.
std::optional<std::uint64_t> FindMainHeaderInStub(ArjReader& reader, std::FILE* f) {
  std::vector<std::uint8_t> buf(kMaxStubSize + 1);
  if (!SeekFromStart(f, 0)) return std::nullopt;
  std::size_t n = std::fread(buf.data(), 1, buf.size(), f);
  for (std::size_t i = 2; i + 1 < n; ++i) {
    if (buf[i] != 0x60 || buf[i + 1] != 0xEA) continue;
    try {
      std::optional<Header> main = reader.ReadHeaderAt(i);
      if (main && main->fileType == arj::kMainHeader) return i;
    } catch (const ArcError&) {
      // id bytes that are part of the stub's code
    }
  }
  return std::nullopt;
}

}  // namespace

std::unique_ptr<ArchiveReader> OpenArjReader(const std::string& path) {
  StdioFile file(fopen(platform::FsName(path).c_str(), "rb"));
  if (!file) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  std::uint8_t magic[2] = {};
  std::size_t n = std::fread(magic, 1, 2, file.get());
  std::FILE* f = file.get();
  auto reader = std::make_unique<ArjReader>(std::move(file), 0, path);
  if (n == 2 && magic[0] == 0x60 && magic[1] == 0xEA) {
    std::optional<Header> main = reader->ReadHeaderAt(0);
    if (main && main->fileType == arj::kMainHeader) {
      reader->SetMainFlags(main->flags);
      return reader;
    }
  } else if (n == 2 && magic[0] == 'M' && magic[1] == 'Z' && FindMainHeaderInStub(*reader, f)) {
    return reader;
  }
  throw ArcError(ERROR_NOT_ARC_FILE, "not an ARJ archive");
}

}  // namespace arc
