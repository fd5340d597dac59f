// SPDX-License-Identifier: MIT
// Reader of RAR archives: RAR 1.5-4.x here, RAR 5 through the RAR 5 reader.
//
// The headers of RAR 1.5-4.x entries are read by this reader on every
// system, and each library entry is paired with its file header: by the
// offset the library tells, or else by walking the headers in order. Names
// are decoded from the raw header bytes (rar_name.h): libunarr reads plain
// names as code page 437 and garbles packed Unicode names, libarchive
// follows the locale. An entry made on a Unix host with a link mode is a
// symbolic link whose data is its target. Only the data decoding is the
// library's (rar4_data.h).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "archiver_api.h"
#include "archivers/rar/rar4_data.h"
#include "archivers/rar/rar_format.h"
#include "archivers/rar/rar_header.h"
#include "archivers/rar/rar_name.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/incomplete_set_reader.h"
#include "archivers/shared/volume_names.h"
#include "archivers/shared/name_coding.h"
#include "archivers/shared/stdio_file.h"
#include "platform/cp932.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace arc {

namespace {

constexpr std::uint8_t kStoreMethod = 0x30, kBestMethod = 0x35;

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

void FillEntryInfo(const rar::FileHeader& h, EntryInfo& info) {
  info = EntryInfo{};
  SetName(h, info);
  info.isDirectory = h.Directory();
  info.size = h.unpSize;
  info.compressedSize = h.packSize;
  info.crc = h.fileCrc;
  info.mtime = DosDateTimeToUnix(h.dosTime);
  bool dosHost = h.hostOs == rar::kMsDos || h.hostOs == rar::kOs2 || h.hostOs == rar::kWin32;
  if (dosHost) info.attributes = h.attributes & 0xFF;
  if (info.isDirectory) info.attributes |= 0x10;
  info.osType = h.hostOs;
  if (h.method >= kStoreMethod && h.method <= kBestMethod) {
    info.method = "-m" + std::to_string(h.method - kStoreMethod) + "-";
  }
  info.encrypted = h.Encrypted();
}

// One volume of the archive, open for the header walk.
struct Volume {
  StdioFile file;
  std::uint64_t length = 0;
};

class Rar4Reader : public ArchiveReader {
 public:
  Rar4Reader(std::vector<Volume> volumes, std::unique_ptr<Rar4Data> data, std::uint16_t archiveFlags)
      : volumes_(std::move(volumes)), data_(std::move(data)), solid_(archiveFlags & rar::kArchiveSolid) {}

  bool Next(EntryInfo& info) override {
    hasEntry_ = false;
    std::optional<std::uint64_t> at;
    try {
      if (!data_->Next(at)) return false;
    } catch (const ArcError&) {
      // Our own walk tells a damaged header more precisely (its CRC).
      rar::FileHeader ahead;
      std::size_t volume = volume_;
      std::uint64_t offset = walked_;
      NextHeader(volume, offset, ahead);
      throw;
    }
    if (at) {
      header_ = rar::ReadFileHeader(File(), *at);
      walked_ = header_.dataOffset + header_.packSize;
    } else if (!NextHeader(volume_, walked_, header_)) {
      throw ArcError(ERROR_HEADER_BROKEN, "RAR archive is damaged");  // an entry the headers do not hold
    }
    hasEntry_ = true;
    dataRead_ = false;
    link_ = false;
    wholeCrc_ = header_.fileCrc;
    wholeCrcKnown_ = !(header_.flags & rar::kSplitAfter) || LastPartCrc(wholeCrc_);

    FillEntryInfo(header_, info);
    if (!wholeCrcKnown_) info.crc = 0;
    else info.crc = wholeCrc_;
    if (header_.hostOs == kUnixHost && (header_.attributes & kUnixTypeMask) == kUnixSymlink && !info.isDirectory) {
      // A target that cannot be read stays empty, and the link is refused.
      std::optional<std::string> target = data_->TakenLinkTarget();
      if (!target) {
        target.emplace();
        if (!info.encrypted && header_.unpSize <= kMaxLinkTarget) {
          ReadData([&](const void* data, std::size_t size) {
            target->append(static_cast<const char*>(data), size);
            return true;
          });
        }
      }
      info.isSymlink = true;
      link_ = true;
      SetLinkTarget(std::move(*target), info);
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
    // A part whose rest is in no volume at hand.
    if (header_.Split() && (volumes_.size() == 1 || (header_.flags & rar::kSplitBefore)))
      throw ArcError(ERROR_NOT_SUPPORT, "RAR entry spans volumes");
    if (header_.method < kStoreMethod || header_.method > kBestMethod) {
      throw ArcError(ERROR_METHOD, "unknown RAR method");
    }
    // A cut archive is told apart from damaged data before decoding.
    if (volumes_[volume_].length < header_.dataOffset + header_.packSize) {
      throw ArcError(ERROR_UNEXPECTED_EOF, "RAR archive is cut short");
    }
    std::uint32_t crc = 0;
    bool whole = data_->Decode(header_, [&](const void* data, std::size_t size) {
      crc = Crc32(crc, data, size);
      return sink(data, size);
    });
    if (whole && wholeCrcKnown_ && crc != wholeCrc_) throw ArcError(ERROR_FILE_CRC, "RAR entry fails its CRC");
  }

 private:
  std::FILE* File() const { return volumes_[volume_].file.get(); }

  // The next file header that starts an entry, from `volume` at `offset`
  // on into the volumes after it; the parts that go on from a previous
  // volume are the same entries.
  bool NextHeader(std::size_t& volume, std::uint64_t& offset, rar::FileHeader& header) const {
    for (;;) {
      const Volume& v = volumes_[volume];
      if (rar::NextFileHeader(v.file.get(), v.length, offset, header)) {
        if (header.flags & rar::kSplitBefore && volume > 0) continue;
        return true;
      }
      if (volume + 1 >= volumes_.size()) return false;
      ++volume;
      offset = sizeof rar::kRar4Signature;
    }
  }

  // The CRC of a whole entry split over volumes, which its last part
  // stores; false when that part is in no volume at hand.
  bool LastPartCrc(std::uint32_t& crc) const {
    for (std::size_t v = volume_ + 1; v < volumes_.size(); ++v) {
      std::uint64_t offset = sizeof rar::kRar4Signature;
      rar::FileHeader part;
      if (!rar::NextFileHeader(volumes_[v].file.get(), volumes_[v].length, offset, part) ||
          !(part.flags & rar::kSplitBefore))
        return false;
      if (!(part.flags & rar::kSplitAfter)) {
        crc = part.fileCrc;
        return true;
      }
    }
    return false;
  }

  std::vector<Volume> volumes_;  // our own view, for the headers
  std::unique_ptr<Rar4Data> data_;
  bool solid_;
  std::size_t volume_ = 0;                               // the volume the header walk is in
  std::uint64_t walked_ = sizeof rar::kRar4Signature;  // where the header walk goes on
  rar::FileHeader header_;
  std::uint32_t wholeCrc_ = 0;
  bool wholeCrcKnown_ = true;
  bool hasEntry_ = false;
  bool dataRead_ = false;
  bool link_ = false;  // a Unix symbolic link: no data beyond its target
};

// The main header's flags of a RAR 1.5-4 volume at `path`; 0 when it is
// none.
std::uint16_t VolumeFlags(const std::string& path, Volume& volume) {
  volume.file.reset(fopen(platform::FsName(path).c_str(), "rb"));
  if (!volume.file || !platform::RegularFileSize(path)) return 0;
  unsigned char sig[sizeof rar::kRar4Signature] = {};
  if (std::fread(sig, 1, sizeof sig, volume.file.get()) != sizeof sig ||
      std::memcmp(sig, rar::kRar4Signature, sizeof sig) != 0)
    return 0;
  try {
    std::uint16_t flags = rar::ReadArchiveFlags(volume.file.get());
    std::int64_t length = FileLength(volume.file.get());
    if (length < 0) return 0;
    volume.length = static_cast<std::uint64_t>(length);
    return flags;
  } catch (const ArcError&) {
    return 0;
  }
}

// The volumes after the first, by name, as long as each is a RAR volume;
// `missing` names the one looked for when the last at hand ends inside an
// entry.
std::vector<Volume> FollowingVolumes(const std::string& path, std::vector<Volume> volumes, std::string& missing) {
  std::string at = path;
  for (;;) {
    std::string next = NextVolumeName(at);
    Volume v;
    if (!next.empty() && (VolumeFlags(next, v) & rar::kArchiveVolume)) {
      volumes.push_back(std::move(v));
      at = next;
      continue;
    }
    // Does the last volume end inside an entry?
    const Volume& last = volumes.back();
    std::uint64_t offset = sizeof rar::kRar4Signature;
    rar::FileHeader h, lastHeader;
    bool any = false;
    try {
      while (rar::NextFileHeader(last.file.get(), last.length, offset, h)) {
        lastHeader = h;
        any = true;
      }
    } catch (const ArcError&) {
      // Damage is the reader's to report.
    }
    if (any && (lastHeader.flags & rar::kSplitAfter)) missing = next.empty() ? at + " (next)" : next;
    return volumes;
  }
}

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
  std::int64_t length = FileLength(file.get());
  if (length < 0) throw ArcError(ERROR_CANNOT_READ, "cannot read " + path);
  std::vector<Volume> volumes(1);
  volumes[0].file = std::move(file);
  volumes[0].length = static_cast<std::uint64_t>(length);
  std::string missing;
  if (flags & rar::kArchiveVolume) volumes = FollowingVolumes(path, std::move(volumes), missing);
  std::unique_ptr<Rar4Data> data;
  if (volumes.size() > 1) {
    std::vector<std::string> names{path};
    for (std::string at = path; names.size() < volumes.size();) names.push_back(at = NextVolumeName(at));
    data = OpenRar4VolumeData(names);
  } else {
    data = OpenRar4Data(path, fsPath, flags & rar::kArchiveSolid);
  }
  auto reader = std::make_unique<Rar4Reader>(std::move(volumes), std::move(data), flags);
  if (!missing.empty()) return std::make_unique<IncompleteSetReader>(std::move(reader), missing);
  return reader;
}

}  // namespace arc
