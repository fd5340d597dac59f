// SPDX-License-Identifier: MIT
// ZIP entries read into memory straight from the central directory: the
// listing needs no local header at all, and a chosen entry's data is read
// and inflated in one piece at the place its record gives. Anything this
// reader does not serve exactly as the libarchive-based reader would
// (encryption, other methods, large entries, links, times from fields it
// does not read) raises NotServedHere, and the caller reads the archive
// with that reader instead.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "archivers/shared/dos_fields.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/shared/library_extract_mem.h"
#include "archivers/zip/zip_directory.h"
#include "archivers/zip/zip_entry_data.h"
#include "archivers/zip/zip_format.h"
#include "platform/paths.h"

namespace arc {

namespace {
constexpr std::size_t kCentralSize = 46, kLocalSize = 30;
constexpr std::uint8_t kHostDos = 0, kHostUnix = 3;

std::uint32_t ExternalAttributes(const ZipDirEntry& d) {
  return d.central.size() >= kCentralSize ? Le32(ZipBytesAt(d.central, 38)) : 0;
}

// What libarchive would not hand over as a plain file: a link, or a folder
// by its attributes rather than its name.
bool PlainFileRecord(const ZipDirEntry& d) {
  const std::uint32_t external = ExternalAttributes(d);
  if (d.madeByHost == kHostUnix) {
    const std::uint32_t type = (external >> 16) & 0170000;
    return type == 0 || type == 0100000;
  }
  return !(d.madeByHost == kHostDos && (external & 0x10));
}

// One per thread, kept from archive to archive: fresh buffers for every
// archive cost more in page faults than small charts take to inflate.
WholeEntryReader& ThreadWholeReader() {
  thread_local WholeEntryReader reader;
  reader.Trim(4u << 20);
  return reader;
}

class ZipMemoryReader : public ArchiveReader {
 public:
  ZipMemoryReader(int fd, std::uint64_t size, std::vector<ZipDirEntry> records)
      : fd_(fd), size_(size), records_(std::move(records)) {}
  ~ZipMemoryReader() override { close(fd_); }
  ZipMemoryReader(const ZipMemoryReader&) = delete;
  ZipMemoryReader& operator=(const ZipMemoryReader&) = delete;

  bool Next(EntryInfo& info) override {
    if (next_ >= records_.size()) return false;
    current_ = &records_[next_++];
    readTime_ = 0;
    const ZipDirEntry& d = *current_;
    info = EntryInfo{};
    ZipEntryName name = DecideZipName(d);
    info.name = std::move(name.bytes);
    info.nameIsUtf8 = name.utf8;
    info.isDirectory = !info.name.empty() && info.name.back() == '/';
    info.size = d.size;
    info.compressedSize = d.compressedSize;
    info.crc = d.crc;
    info.crcKnown = true;
    info.method = ZipMethodName(d.method);
    info.encrypted = (d.flags & 0x0001) != 0;
    info.osType = d.madeByHost;
    info.attributes = d.madeByHost == kHostDos ? ExternalAttributes(d) & 0xFF : 0;
    info.mtime = DosDateTimeToUnix(d.dosDateTime);
    return true;
  }

  void ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) override {
    const ZipDirEntry& d = *current_;
    if (!SuitsWholeRead(d) || !PlainFileRecord(d)) throw NotServedHere();
    if (!ThreadWholeReader().Read(fd_, size_, d, sink)) throw NotServedHere();
    readTime_ = LocalHeaderTime(d);
  }

  std::time_t TimeOfReadEntry(std::time_t listed) const override { return readTime_ ? readTime_ : listed; }

 private:
  // The time libarchive gives the entry, from its local header (the DOS
  // stamp, or the extended timestamp's modification time), brought to the
  // stamp as stored as the libarchive-based reader does.
  std::time_t LocalHeaderTime(const ZipDirEntry& d) const {
    const std::string head = ReadZipBytes(fd_, d.localOffset, kLocalSize, "local header cut short");
    const std::uint32_t dos = Le32(ZipBytesAt(head, 10));
    const std::size_t nameLength = Le16(ZipBytesAt(head, 26)), extraLength = Le16(ZipBytesAt(head, 28));
    const std::string extra = ReadZipBytes(fd_, d.localOffset + kLocalSize + nameLength, extraLength, "local header cut short");
    std::time_t libraryTime = DosDateTimeByItsOwnDate(dos);
    for (std::size_t at = 0; at + 4 <= extra.size();) {
      const std::uint16_t id = Le16(ZipBytesAt(extra, at)), length = Le16(ZipBytesAt(extra, at + 2));
      at += 4;
      if (at + length > extra.size()) break;
      if (id == 0x5455 && length >= 5 && (extra[at] & 0x01))
        libraryTime = static_cast<std::time_t>(Le32(ZipBytesAt(extra, at + 1)));
      else if (id == 0x5855 || id == 0x000d)
        throw NotServedHere();  // older Unix time fields: left to libarchive
      at += length;
    }
    const std::time_t t = LocalStampTime(d.dosDateTime, libraryTime);
    if (t == 0) throw NotServedHere();
    return t;
  }

  int fd_;
  std::uint64_t size_;
  std::vector<ZipDirEntry> records_;
  std::size_t next_ = 0;
  const ZipDirEntry* current_ = nullptr;
  std::time_t readTime_ = 0;
};

}  // namespace

std::unique_ptr<ArchiveReader> OpenZipMemoryReader(const std::string& path, const EntrySelection& chosen) {
  const int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw NotServedHere();
  struct stat st{};
  ZipDirectory dir;
  try {
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw NotServedHere();
    dir = ReadZipDirectory(fd, static_cast<std::uint64_t>(st.st_size));
    if (dir.split || dir.entries.empty()) throw NotServedHere();
    // Told now, before anything is handed out, whether every chosen entry
    // can be served here.
    for (const ZipDirEntry& d : dir.entries) {
      ZipEntryName name = DecideZipName(d);
      if (!name.bytes.empty() && name.bytes.back() == '/') continue;
      if (chosen.RuledOut(name.bytes, name.utf8) || !chosen.Selects(DisplayName(name.bytes, name.utf8))) continue;
      if (!SuitsWholeRead(d) || !PlainFileRecord(d)) throw NotServedHere();
    }
    return std::make_unique<ZipMemoryReader>(fd, static_cast<std::uint64_t>(st.st_size),
                                             InLocalHeaderOrder(std::move(dir.entries)));
  } catch (const ArcError&) {
    close(fd);
    throw NotServedHere();
  } catch (...) {
    close(fd);
    throw;
  }
}

}  // namespace arc
