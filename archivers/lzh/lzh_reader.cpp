// SPDX-License-Identifier: MIT
// LZH through liblhasa: every method it knows (lh0-lh7, lhx, lh1, lzs, lz5,
// pm0-pm2...) and header levels 0 to 3. The common methods -lh5- to -lh7-
// are decoded by libarchive, which is several times faster.
#include <fcntl.h>
#include <lhasa.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/open_archive.h"
#include "archivers/lzh/crc16.h"
#include "archivers/lzh/lzh_libarchive_data.h"
#include "archivers/lzh/lzh_header_name.h"
#include "archivers/shared/dos_fields.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "archivers/lzh/lzh_format.h"

namespace arc {

namespace {

// Our own input stream: liblhasa's fallback skip loops forever at the end
// of a truncated file, its decoders ask for a few hundred bytes at a time
// (so we buffer), and we need to know where reading stopped to tell a
// clean end of archive from a damaged header.
struct Source {
  int fd = -1;
  std::uint64_t pos = 0;  // logical position
  std::uint64_t size = 0;
  std::uint64_t lastReadStart = 0;
  bool skippedPastEnd = false;
  std::vector<unsigned char> buf = std::vector<unsigned char>(1 << 20);
  std::uint64_t bufStart = 0;
  std::size_t bufLen = 0;
};

int SourceRead(void* handle, void* out, size_t len) {
  auto* s = static_cast<Source*>(handle);
  s->lastReadStart = s->pos;
  auto* dst = static_cast<unsigned char*>(out);
  size_t total = 0;
  while (total < len) {
    if (s->pos < s->bufStart || s->pos >= s->bufStart + s->bufLen) {
      // After a skip only a header is wanted, most likely: a walk over the
      // headers alone should not read the whole archive.
      bool sequential = s->pos == s->bufStart + s->bufLen;
      std::size_t fill = sequential ? s->buf.size() : std::min<std::size_t>(s->buf.size(), 64 << 10);
      ssize_t n = pread(s->fd, s->buf.data(), fill, static_cast<std::int64_t>(s->pos));
      if (n < 0) return -1;
      s->bufStart = s->pos;
      s->bufLen = static_cast<std::size_t>(n);
      if (n == 0) break;
    }
    std::size_t offset = static_cast<std::size_t>(s->pos - s->bufStart);
    std::size_t n = std::min(len - total, s->bufLen - offset);
    std::memcpy(dst + total, s->buf.data() + offset, n);
    total += n;
    s->pos += n;
  }
  return static_cast<int>(total);
}

int SourceSkip(void* handle, size_t bytes) {
  auto* s = static_cast<Source*>(handle);
  if (s->pos + bytes > s->size) {
    s->skippedPastEnd = true;
    return 0;
  }
  s->pos += bytes;
  return 1;
}

const LHAInputStreamType kSourceType = {SourceRead, SourceSkip, nullptr};

class LzhReader : public ArchiveReader {
 public:
  LzhReader(int fd, std::uint64_t size) {
    src_.fd = fd;
    src_.size = size;
    stream_ = lha_input_stream_new(&kSourceType, &src_);
    reader_ = stream_ ? lha_reader_new(stream_) : nullptr;
    if (!reader_) throw ArcError(ERROR_ENOUGH_MEMORY, "out of memory");
    // Plain policy: each folder once, in archive order.
    lha_reader_set_dir_policy(reader_, LHA_READER_DIR_PLAIN);
  }
  ~LzhReader() override {
    fast_.reset();
    if (reader_) lha_reader_free(reader_);
    if (stream_) lha_input_stream_free(stream_);
    close(src_.fd);
  }

  bool Next(EntryInfo& info) override {
    header_ = lha_reader_next_file(reader_);
    if (!header_) {
      if (!CleanEnd()) throw ArcError(ERROR_HEADER_BROKEN, "damaged or truncated LZH header");
      return false;
    }
    ++count_;
    info = EntryInfo{};
    info.name = LzhHeaderName(header_->raw_data, header_->raw_data_len, header_->header_level);
    if (info.name.empty()) throw ArcError(ERROR_HEADER_BROKEN, "LZH header without a name");
    info.method = header_->compress_method;
    bool dirMethod = std::strcmp(header_->compress_method, LHA_COMPRESS_TYPE_DIR) == 0;
    if (header_->symlink_target) {
      // Unix LHA stores a link as "name|target".
      std::size_t bar = std::string::npos;
      for (std::size_t i = 0; i < info.name.size(); i = platform::NextCharPos(info.name, i))
        if (info.name[i] == '|') {
          bar = i;
          break;
        }
      if (bar != std::string::npos) {
        info.linkTarget = info.name.substr(bar + 1);
        info.name.erase(bar);
      }
      info.isSymlink = true;
    } else if (dirMethod) {
      info.isDirectory = true;
    }
    info.size = header_->length;
    info.compressedSize = header_->compressed_length;
    info.crc = header_->crc;
    info.mtime = header_->timestamp;
    if (header_->header_level <= 1 && header_->raw_data_len > 18) {
      const std::uint8_t* r = header_->raw_data;
      info.mtime = LocalStampTime(static_cast<std::uint32_t>(r[15] | r[16] << 8 | r[17] << 16) |
                                      static_cast<std::uint32_t>(r[18]) << 24,
                                  info.mtime);
    }
    info.osType = header_->os_type;
    info.attributes = header_->header_level <= 1 && header_->raw_data_len > 19 ? header_->raw_data[19] : 0x20;
    if (info.isDirectory) info.attributes |= 0x10;
    dataKnown_ = !dirMethod && lha_decoder_for_name(header_->compress_method) != nullptr;
    return true;
  }

  void ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) override {
    if (!header_ || info_is_special()) return;
    if (!dataKnown_) throw ArcError(ERROR_METHOD, std::string("unsupported LZH method ") + header_->compress_method);
    if (ReadStoredDirectly(sink)) return;
    if (ReadThroughLibarchive(sink)) return;
    std::vector<unsigned char> buf(1 << 18);
    std::uint64_t total = 0;
    std::uint16_t crc = 0;
    for (;;) {
      size_t n = lha_reader_read(reader_, buf.data(), buf.size());
      if (n == 0) break;
      total += n;
      if (total > header_->length) throw ArcError(ERROR_BROKEN_DATA, "LZH data longer than its header says");
      crc = Crc16Update(crc, buf.data(), n);
      if (!sink(buf.data(), n)) return;
    }
    if (src_.skippedPastEnd) throw ArcError(ERROR_BROKEN_DATA, "LZH data truncated or damaged");
    // liblhasa strips a MacLHA entry's MacBinary header and keeps one fork,
    // so what came is shorter than the header says and its CRC covers
    // other bytes: a second decode checks the wrapped data instead.
    if (header_->os_type == LHA_OS_TYPE_MACOS && total < header_->length) {
      if (!CheckWrappedEntry()) throw ArcError(ERROR_FILE_CRC, "LZH data truncated or damaged");
      return;
    }
    if (total != header_->length) throw ArcError(ERROR_BROKEN_DATA, "LZH data truncated or damaged");
    if (crc != header_->crc) throw ArcError(ERROR_FILE_CRC, "LZH CRC mismatch");
  }

 private:
  bool info_is_special() const {
    return header_->symlink_target != nullptr || std::strcmp(header_->compress_method, LHA_COMPRESS_TYPE_DIR) == 0;
  }

  // Stored data is copied straight from the file in big blocks: liblhasa
  // would pass it through its decoder in small steps. Only when the data's
  // place is certain: the header bytes must sit right before our position
  // (liblhasa may still hold a few look-ahead bytes at the very start), and
  // MacBinary-wrapped data (Mac archives) needs liblhasa's decoder.
  bool ReadStoredDirectly(const std::function<bool(const void* data, std::size_t size)>& sink) {
    std::string method = header_->compress_method;
    if ((method != "-lh0-" && method != "-lz4-" && method != "-pm0-") || header_->os_type == LHA_OS_TYPE_MACOS) return false;
    if (header_->compressed_length != header_->length || !HeaderRightBefore()) return false;
    std::vector<unsigned char> buf(1 << 20);
    std::uint64_t off = src_.pos, left = header_->length;
    std::uint16_t crc = 0;
    bool complete = true;
    while (left > 0) {
      ssize_t n = pread(src_.fd, buf.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, buf.size())), static_cast<std::int64_t>(off));
      if (n <= 0) throw ArcError(ERROR_BROKEN_DATA, "LZH data truncated");
      crc = Crc16Update(crc, buf.data(), static_cast<std::size_t>(n));
      off += static_cast<std::uint64_t>(n);
      left -= static_cast<std::uint64_t>(n);
      if (!sink(buf.data(), static_cast<std::size_t>(n))) {
        complete = false;
        break;
      }
    }
    if (complete && crc != header_->crc) throw ArcError(ERROR_FILE_CRC, "LZH CRC mismatch");
    return true;
  }

  // -lh5- to -lh7- data through libarchive, when the entry's place is
  // certain and libarchive reads its header alike; MacBinary-wrapped data
  // needs liblhasa. A level-0 header may lack the CRC, which libarchive
  // would then not check: liblhasa's path compares it.
  bool ReadThroughLibarchive(const std::function<bool(const void* data, std::size_t size)>& sink) {
    if (!LzhLibarchiveData::Decodes(header_->compress_method) || header_->os_type == LHA_OS_TYPE_MACOS) return false;
    if (header_->length == 0 || header_->compressed_length == 0 || !HeaderRightBefore()) return false;
    if (header_->header_level == 0 && (header_->raw_data_len < 22 || header_->raw_data_len < 24u + header_->raw_data[21])) return false;
    if (!fast_) fast_ = std::make_unique<LzhLibarchiveData>(src_.fd, src_.size);
    LzhLibarchiveData::Entry entry;
    entry.dataOffset = src_.pos;
    entry.headerOffset = src_.pos - header_->raw_data_len;
    entry.dataEnd = src_.pos + header_->compressed_length;
    entry.size = header_->length;
    return fast_->Read(entry, sink) != LzhLibarchiveData::Result::kRefused;
  }

  // True when the current header's bytes sit right before our position, so
  // its data starts there (liblhasa may still hold a few look-ahead bytes
  // at the very start of the file). Only the fixed part is compared:
  // liblhasa clears a header CRC it has checked in its copy.
  bool HeaderRightBefore() const {
    unsigned char head[22];
    std::size_t n = std::min<std::size_t>(sizeof head, header_->raw_data_len);
    if (n < 7 || src_.pos < header_->raw_data_len) return false;
    std::uint64_t start = src_.pos - header_->raw_data_len;
    return pread(src_.fd, head, n, static_cast<std::int64_t>(start)) == static_cast<ssize_t>(n) &&
           std::memcmp(head, header_->raw_data, n) == 0;
  }

  // Decodes the current entry again through a reader of its own, which
  // checks length and CRC on the data as stored.
  bool CheckWrappedEntry() {
    int fd = dup(src_.fd);
    if (fd < 0) return false;
    LzhReader again(fd, src_.size);
    EntryInfo info;
    for (std::size_t i = 0; i < count_; ++i)
      if (!again.Next(info)) return false;
    return lha_reader_check(again.reader_, nullptr, nullptr) != 0;
  }

  // At the end the last read found nothing, or only the zero end mark.
  bool CleanEnd() {
    if (src_.skippedPastEnd || count_ == 0) return count_ > 0 && !src_.skippedPastEnd;
    unsigned char buf[512];
    std::uint64_t off = src_.lastReadStart;
    while (off < src_.size) {
      ssize_t n = pread(src_.fd, buf, sizeof buf, static_cast<std::int64_t>(off));
      if (n <= 0) return false;
      for (ssize_t i = 0; i < n; ++i)
        if (buf[i] != 0 && buf[i] != 0x1A) return false;  // zero end mark, DOS EOF padding
      off += static_cast<std::uint64_t>(n);
    }
    return true;
  }

  Source src_;
  LHAInputStream* stream_ = nullptr;
  LHAReader* reader_ = nullptr;
  LHAFileHeader* header_ = nullptr;
  std::unique_ptr<LzhLibarchiveData> fast_;  // opened at the first entry it decodes
  bool dataKnown_ = false;
  std::size_t count_ = 0;
};

}  // namespace

std::unique_ptr<ArchiveReader> OpenLzhReader(const std::string& path) {
  std::uint64_t size = 0;
  int fd = OpenForReading(path, size);
  // The first header must be there, else this is no LZH archive; the check
  // reads it through a second reader so that the caller's starts fresh.
  {
    LzhReader probe(dup(fd), size);
    EntryInfo info;
    bool any = false;
    try {
      any = probe.Next(info);
    } catch (const ArcError&) {
    }
    if (!any) {
      close(fd);
      throw ArcError(ERROR_NOT_ARC_FILE, "not an LZH archive: " + path);
    }
  }
  return std::make_unique<LzhReader>(fd, size);
}

}  // namespace arc
