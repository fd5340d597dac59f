// SPDX-License-Identifier: MIT
// ZIP through libarchive's seekable reader (it reads the central directory,
// so self-extracting archives with a stub in front open too), with names,
// flags and CRCs taken from our own reading of the directory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/incomplete_set_reader.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/shared/volume_chain.h"
#include "archivers/shared/volume_names.h"
#include "archivers/zip/zip_directory.h"
#include "archivers/zip/zip_entry_data.h"
#include "platform/cp932.h"
#include "platform/input_file.h"
#include "platform/paths.h"
#include "archivers/zip/zip_format.h"

namespace arc {

namespace {

using Records = std::shared_ptr<const std::vector<ZipDirEntry>>;

// The archive file, open for the reader's own reads.
class ArchiveFile {
 public:
  ArchiveFile() : fd_(-1) {}  // none: libarchive reads everything
  explicit ArchiveFile(const std::string& fsPath) : fd_(open(fsPath.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st{};
    if (fd_ >= 0 && fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~ArchiveFile() {
    if (fd_ >= 0) close(fd_);
  }
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;
  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  std::uint64_t Size() const { return size_; }

 private:
  int fd_;
  std::uint64_t size_ = 0;
};

// No entries when the directory cannot be read: libarchive's view is then
// used alone.
ZipDirectory ReadDirectoryOf(const ArchiveFile& file) {
  ZipDirectory dir;
  if (!file.IsOpen()) return dir;
  try {
    dir = ReadZipDirectory(file.Fd(), file.Size());
  } catch (const ArcError&) {
    dir = ZipDirectory{};
  }
  dir.entries = InLocalHeaderOrder(std::move(dir.entries));
  return dir;
}

struct Pairing {
  Records records;
  std::size_t next = 0;
  bool lost = false;  // an entry did not match its record: stop trusting the order
  const ZipDirEntry* current = nullptr;  // the record of libarchive's current entry
};

// The entry as the directory describes it; libarchive's view of the same
// entry fills what is left.
void FillFromRecord(const ZipDirEntry& d, EntryInfo& info) {
  ZipEntryName name = DecideZipName(d);
  info.name = std::move(name.bytes);
  info.nameIsUtf8 = name.utf8;
  info.crc = d.crc;
  info.crcKnown = true;
  info.compressedSize = d.compressedSize;
  info.method = ZipMethodName(d.method);
  if (d.flags & 0x0001) info.encrypted = true;
}

// The entries for a walk over the headers alone, straight from the central
// directory: names and sizes are all there, so no local header is read.
class DirectoryWalk : public ArchiveReader {
 public:
  explicit DirectoryWalk(Records records) : records_(std::move(records)) {}

  bool Next(EntryInfo& info) override {
    if (next_ >= records_->size()) return false;
    const ZipDirEntry& d = (*records_)[next_++];
    info = EntryInfo{};
    FillFromRecord(d, info);
    info.isDirectory = !info.name.empty() && info.name.back() == '/';
    info.size = d.size;
    return true;
  }

  void ReadData(const std::function<bool(const void*, std::size_t)>&) override {
    throw ArcError(ERROR_NOT_SEARCH_MODE, "a header walk reads no data");
  }

 private:
  Records records_;
  std::size_t next_ = 0;
};

// libarchive walks the headers and streams what is left to it; the data of
// regular entries its record describes fully is read here in one piece.
// libarchive then seeks past it at the next header.
class ZipReader : public ArchiveReader {
 public:
  ZipReader(std::unique_ptr<ArchiveFile> file, struct archive* a, std::shared_ptr<Pairing> pairing,
            const LibarchiveReader::EntryHook& hook, bool listsCheaply = true)
      : file_(std::move(file)), pairing_(std::move(pairing)), inner_(a, hook, listsCheaply) {
    if (pairing_->records) inner_.CheckCrc();
  }

  bool Next(EntryInfo& info) override {
    whole_ = nullptr;
    if (!inner_.Next(info)) return false;
    const ZipDirEntry* d = pairing_->current;
    if (d && file_->IsOpen() && !info.isDirectory && !info.isSymlink && !info.isHardlink && !info.encrypted &&
        SuitsWholeRead(*d))
      whole_ = d;
    return true;
  }

  void ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) override {
    if (!ReadWhole(sink)) inner_.ReadData(sink);
  }

  void ReadSparseData(const std::function<bool(const void* data, std::size_t size)>& sink,
                      const std::function<bool(std::uint64_t length)>& hole) override {
    if (!ReadWhole(sink)) inner_.ReadSparseData(sink, hole);
  }

  bool ListsCheaply() const override { return inner_.ListsCheaply(); }

  std::unique_ptr<ArchiveReader> HeaderWalk() const override {
    if (!pairing_->records || pairing_->records->empty()) return nullptr;
    return std::make_unique<DirectoryWalk>(pairing_->records);
  }

 private:
  // False when the entry is left to libarchive.
  bool ReadWhole(const std::function<bool(const void* data, std::size_t size)>& sink) {
    const ZipDirEntry* d = std::exchange(whole_, nullptr);
    return d && whole_reader_.Read(file_->Fd(), file_->Size(), *d, sink);
  }

  std::unique_ptr<ArchiveFile> file_;
  std::shared_ptr<Pairing> pairing_;
  LibarchiveReader inner_;
  WholeEntryReader whole_reader_;
  const ZipDirEntry* whole_ = nullptr;  // the current entry's record, when it suits a whole read
};

// Each entry libarchive hands out, with the directory record of the same
// place when the two views agree.
LibarchiveReader::EntryHook PairingHook(Pairing* pairing) {
  return [pairing](struct archive*, struct archive_entry* e, EntryInfo& info) {
    const ZipDirEntry* d = nullptr;
    if (pairing->records && !pairing->lost && pairing->next < pairing->records->size())
      d = &(*pairing->records)[pairing->next++];
    // The sizes must agree, or the two views have come apart.
    if (d && archive_entry_size_is_set(e) && !info.isDirectory && !info.isSymlink &&
        static_cast<std::uint64_t>(archive_entry_size(e)) != d->size) {
      pairing->lost = true;
      d = nullptr;
    }
    pairing->current = d;
    if (!d) {
      info.method = "zip";
      return;
    }
    FillFromRecord(*d, info);
    info.mtime = LocalStampTime(d->dosDateTime, info.mtime);
  };
}

// A split archive: ".z01"... with the ".zip" last (offsets count from the
// start of each volume), or raw pieces ".zip.001"... (the archive cut
// anywhere). Read as one stream from the first volume's start; the
// directory, read from the last volume when it lies there whole, gives
// the names and CRCs.
struct ZipSet {
  std::vector<std::string> volumes;
  bool perVolumeOffsets = false;
  std::string missing;  // the first volume not there
};

bool IsRawFirstPiece(const std::string& path) {
  std::string ext = platform::ExtractFileExt(path);
  return ext == ".001";
}

// The directory of the volume at `path` with offsets as stored; empty when
// it holds none (then `lastDisk` stays 0).
ZipDirectory StoredDirectoryOf(const std::string& path) {
  ArchiveFile file(platform::FsName(path));
  if (!file.IsOpen()) return {};
  try {
    return ReadZipDirectory(file.Fd(), file.Size(), true);
  } catch (const ArcError&) {
    return {};
  }
}

std::unique_ptr<ArchiveReader> OpenZipSet(const std::string& path) {
  ZipSet set;
  ZipDirectory dir;
  if (IsRawFirstPiece(path)) {
    set.volumes.push_back(path);
    for (std::string next = NextVolumeName(path); !next.empty() && platform::RegularFileSize(next);
         next = NextVolumeName(next))
      set.volumes.push_back(next);
    // The last piece holds the end record; a first piece that holds it is
    // the whole archive.
    dir = StoredDirectoryOf(set.volumes.back());
    if (set.volumes.size() == 1 && dir.endRecordEnd != 0) return nullptr;
    if (dir.endRecordEnd == 0) set.missing = NextVolumeName(set.volumes.back());
  } else {
    std::string ext = platform::ExtractFileExt(path);
    if (ext.size() != 4 || platform::AsciiUpper(ext) != ".ZIP") return nullptr;
    std::string first = path.substr(0, path.size() - 4) + (ext[1] == 'Z' ? ".Z01" : ".z01");
    if (!platform::RegularFileSize(first)) {
      // Only a ".zip" whose end record says it is a later volume.
      dir = StoredDirectoryOf(path);
      if (dir.lastDisk == 0) return nullptr;
      throw ArcError(ERROR_UNEXPECTED_EOF, "missing volume " + first);
    }
    dir = StoredDirectoryOf(path);
    if (dir.lastDisk == 0) return nullptr;
    set.volumes = ZipSplitVolumes(path);
    set.perVolumeOffsets = true;
    if (set.volumes.size() > dir.lastDisk + 1) {
      // ".z" files past the set's count belong to no volume of it.
      set.volumes.erase(set.volumes.begin() + dir.lastDisk, set.volumes.end() - 1);
    } else if (set.volumes.size() < dir.lastDisk + 1) {
      // A gap: the volumes up to it are read, the one after is named.
      set.volumes.pop_back();
      set.missing = NextVolumeName(set.volumes.back());
    }
  }
  Records records;
  if (set.missing.empty() && !dir.entries.empty()) {
    std::vector<std::uint64_t> starts;
    std::uint64_t at = 0;
    for (const std::string& v : set.volumes) {
      starts.push_back(at);
      at += platform::RegularFileSize(v).value_or(0);
    }
    bool placed = true;
    for (ZipDirEntry& e : dir.entries) {
      if (!set.perVolumeOffsets) continue;
      if (e.disk >= starts.size()) placed = false;
      else e.localOffset += starts[e.disk];
    }
    if (placed) records = std::make_shared<const std::vector<ZipDirEntry>>(InLocalHeaderOrder(std::move(dir.entries)));
  }
  // libarchive reads the set as a stream: its seekable reader takes no
  // volumes. Each entry's data is checked against the record's CRC here.
  bool ownCrc = records != nullptr;
  struct archive* a = OpenVolumeSet(set.volumes, [ownCrc](struct archive* h) {
    archive_read_support_format_zip_streamable(h);
    if (ownCrc) archive_read_set_format_option(h, "zip", "ignorecrc32", "1");
  });
  auto pairing = std::make_shared<Pairing>();
  pairing->records = std::move(records);
  auto hook = PairingHook(pairing.get());
  auto reader = std::make_unique<ZipReader>(std::make_unique<ArchiveFile>(), a, std::move(pairing), hook, false);
  if (!set.missing.empty()) return std::make_unique<IncompleteSetReader>(std::move(reader), set.missing);
  return reader;
}

}  // namespace

std::unique_ptr<ArchiveReader> OpenZipReader(const std::string& path) {
  if (std::unique_ptr<ArchiveReader> set = OpenZipSet(path)) return set;
  auto file = std::make_unique<ArchiveFile>(platform::FsName(path));
  ZipDirectory dir = ReadDirectoryOf(*file);
  Records records;
  if (!dir.entries.empty()) records = std::make_shared<const std::vector<ZipDirEntry>>(std::move(dir.entries));
  if (HeaderWalkScope::Active() && records) return std::make_unique<DirectoryWalk>(std::move(records));
  // With the directory at hand the data is checked against its CRCs here,
  // with the faster CRC, rather than a second time inside libarchive.
  bool ownCrc = records != nullptr;
  auto configure = [ownCrc](struct archive* h) {
    archive_read_support_format_zip_seekable(h);
    if (ownCrc) archive_read_set_format_option(h, "zip", "ignorecrc32", "1");
  };
  // Behind a stub whose offsets count from the archive itself, libarchive
  // is shown the archive alone: it cannot place a ZIP64 end record there.
  // Nor does it see the comment: its search for the end record takes the
  // first signature from the end, which a comment may hold, and looks only
  // 16 KiB back, which a longer comment hides.
  std::uint64_t start = dir.shift > 0 ? static_cast<std::uint64_t>(dir.shift) : 0;
  std::uint64_t end = records ? dir.endRecordEnd : 0;
  struct archive* a = OpenLibarchiveWindow(path, start, end, configure);
  auto pairing = std::make_shared<Pairing>();
  pairing->records = std::move(records);
  auto hook = PairingHook(pairing.get());
  return std::make_unique<ZipReader>(std::move(file), a, std::move(pairing), hook);
}

}  // namespace arc
