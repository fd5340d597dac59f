// SPDX-License-Identifier: MIT
#include "archivers/shared/libarchive_reader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/libarchive_call.h"
#include "platform/paths.h"

namespace arc {

namespace {
// Reads grow from kFirstRead after each seek up to kBlockSize while the
// reading goes on in order: a skipped entry costs one small read at its
// header instead of a whole block, and long runs of data still come in
// large reads.
constexpr std::size_t kBlockSize = 1 << 20;
constexpr std::size_t kFirstRead = 512;
// A header walk seeks from entry to entry and wants a header at each.
constexpr std::size_t kHeaderWalkBlockSize = 64 << 10;

std::string ErrorText(struct archive* a) {
  const char* s = archive_error_string(a);
  return s ? s : "archive error";
}

std::string CrcMismatch(std::uint32_t got, std::uint32_t stored) {
  char text[64];
  std::snprintf(text, sizeof text, "bad CRC: 0x%08x should be 0x%08x", got, stored);
  return text;
}

// A read-only window of a file that starts at `start`, for libarchive's
// callbacks.
struct FileWindow {
  int fd = -1;
  std::uint64_t start = 0, size = 0;  // size of the window
  std::uint64_t pos = 0;              // inside the window
  std::size_t nextRead = kFirstRead;
  // Not zeroed: every archive opens one, and only what pread fills is read.
  std::size_t capacity = HeaderWalkScope::Active() ? kHeaderWalkBlockSize : kBlockSize;
  std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(capacity);
};

la_ssize_t WindowRead(struct archive* a, void* data, const void** out) {
  auto* w = static_cast<FileWindow*>(data);
  std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(w->nextRead, w->size - w->pos));
  ssize_t n = want == 0 ? 0 : pread(w->fd, w->buffer.get(), want, static_cast<std::int64_t>(w->start + w->pos));
  if (n < 0) {
    archive_set_error(a, errno, "read error");
    return -1;
  }
  w->pos += static_cast<std::uint64_t>(n);
  w->nextRead = std::min(w->nextRead * 2, w->capacity);
  *out = w->buffer.get();
  return n;
}

la_int64_t WindowSeek(struct archive*, void* data, la_int64_t offset, int whence) {
  auto* w = static_cast<FileWindow*>(data);
  la_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<la_int64_t>(w->pos)
                                                                : static_cast<la_int64_t>(w->size);
  la_int64_t to = base + offset;
  if (to < 0 || static_cast<std::uint64_t>(to) > w->size) return ARCHIVE_FATAL;
  if (static_cast<std::uint64_t>(to) != w->pos) w->nextRead = kFirstRead;
  w->pos = static_cast<std::uint64_t>(to);
  return to;
}

la_int64_t WindowSkip(struct archive*, void* data, la_int64_t request) {
  auto* w = static_cast<FileWindow*>(data);
  std::uint64_t step = std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max<la_int64_t>(request, 0)),
                                               w->size - w->pos);
  if (step > 0) w->nextRead = kFirstRead;
  w->pos += step;
  return static_cast<la_int64_t>(step);
}

int WindowClose(struct archive*, void* data) {
  auto* w = static_cast<FileWindow*>(data);
  close(w->fd);
  delete w;
  return ARCHIVE_OK;
}

}  // namespace

void RequireReadableFile(const std::string& path) {
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  struct stat st{};
  bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  close(fd);
  if (!regular) throw ArcError(ERROR_ARC_FILE_OPEN, "not a file: " + path);
}

struct archive* OpenLibarchive(const std::string& path, const std::function<void(struct archive*)>& configure) {
  return OpenLibarchiveWindow(path, 0, 0, configure);
}

struct archive* OpenLibarchiveWindow(const std::string& path, std::uint64_t start, std::uint64_t end,
                                     const std::function<void(struct archive*)>& configure) {
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  // Only regular files: a FIFO or device would block the reader for ever.
  struct stat st{};
  bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  std::uint64_t fileSize = regular ? static_cast<std::uint64_t>(st.st_size) : 0;
  if (end == 0) end = fileSize;
  if (!regular || start > end || end > fileSize) {
    close(fd);
    throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  }
  LibarchiveCall call;
  struct archive* a = archive_read_new();
  if (!a) {
    close(fd);
    throw ArcError(ERROR_ENOUGH_MEMORY, "out of memory");
  }
  configure(a);
  auto* w = new FileWindow;
  w->fd = fd;
  w->start = start;
  w->size = end - start;
  archive_read_set_read_callback(a, WindowRead);
  archive_read_set_seek_callback(a, WindowSeek);
  archive_read_set_skip_callback(a, WindowSkip);
  archive_read_set_close_callback(a, WindowClose);
  archive_read_set_callback_data(a, w);
  // From here on the close callback owns the window, also on failure.
  if (archive_read_open1(a) != ARCHIVE_OK) {
    std::string why = ErrorText(a);
    archive_read_free(a);
    throw ArcError(ERROR_NOT_ARC_FILE, why);
  }
  return a;
}

LibarchiveReader::LibarchiveReader(struct archive* a, EntryHook hook, bool listsCheaply)
    : a_(a), hook_(std::move(hook)), listsCheaply_(listsCheaply) {}

LibarchiveReader::~LibarchiveReader() {
  LibarchiveCall call;
  archive_read_free(a_);
}

bool LibarchiveReader::Next(EntryInfo& info) {
  LibarchiveCall call;
  struct archive_entry* e = nullptr;
  // A damaged tar header is skipped block by block up to the next good
  // one, as bsdtar does; the damage is still reported at the end.
  int r;
  while ((r = archive_read_next_header(a_, &e)) == ARCHIVE_RETRY) skippedDamage_ = true;
  if (r == ARCHIVE_EOF) {
    if (cutShort_) throw ArcError(ERROR_UNEXPECTED_EOF, "the archive is cut short");
    if (skippedDamage_) throw ArcError(ERROR_HEADER_BROKEN, "damaged headers were skipped");
    return false;
  }
  if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
    // An encrypted header (7z) is unreadable without its password.
    std::string why = ErrorText(a_);
    throw ArcError(why.find("ncrypt") != std::string::npos ? ERROR_PASSWORD_FILE : ERROR_HEADER_BROKEN, why);
  }
  // A name libarchive could not convert comes back null. RAR 5 keeps the
  // bytes it read, which the name rules make safe; ZIP's hook names the
  // entry from the central directory. An entry left without a name costs
  // itself alone: its neighbours are still read.
  const char* name = archive_entry_pathname(e);
  if (!name) name = archive_entry_pathname_utf8(e);
  info = EntryInfo{};
  info.name = name ? name : "";
  mode_t type = archive_entry_filetype(e);
  info.isDirectory = type == AE_IFDIR;
  info.isSymlink = type == AE_IFLNK;
  if (info.isSymlink && archive_entry_symlink(e)) info.linkTarget = archive_entry_symlink(e);
  if (const char* hard = archive_entry_hardlink(e)) {
    info.isHardlink = true;
    info.linkTarget = hard;
  }
  info.sizeKnown = archive_entry_size_is_set(e) && archive_entry_size(e) >= 0;
  info.size = info.sizeKnown ? static_cast<std::uint64_t>(archive_entry_size(e)) : 0;
  info.compressedSize = info.size;
  current_sparse_ = false;
  if (info.sizeKnown && archive_entry_sparse_reset(e) > 0) {
    // What the map does not cover is hole.
    std::uint64_t stored = 0;
    la_int64_t offset = 0, length = 0;
    while (archive_entry_sparse_next(e, &offset, &length) == ARCHIVE_OK)
      if (length > 0) stored += static_cast<std::uint64_t>(length);
    info.holeSize = stored < info.size ? info.size - stored : 0;
    current_sparse_ = true;
  }
  info.mtime = archive_entry_mtime_is_set(e) ? archive_entry_mtime(e) : 0;
  mode_t perm = archive_entry_perm(e);
  info.attributes = (perm & 0200) ? 0x20 : 0x21;  // archive bit, read-only when not writable
  if (info.isDirectory) info.attributes = 0x10;
  current_is_directory_ = info.isDirectory;
  current_encrypted_ = archive_entry_is_encrypted(e) != 0;
  info.encrypted = current_encrypted_;
  if (hook_) hook_(a_, e, info);
  if (!name && info.name.empty()) info.nameUnreadable = ErrorText(a_);
  current_encrypted_ = info.encrypted;
  current_size_known_ = info.sizeKnown;
  current_size_ = info.size;
  current_crc_known_ = checkCrc_ && info.crcKnown;
  current_crc_ = info.crc;
  return true;
}

void LibarchiveReader::ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) {
  static const std::vector<char> zeros(1 << 16, 0);
  ReadSparseData(sink, [&](std::uint64_t length) {
    while (length > 0) {
      std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(length, zeros.size()));
      if (!sink(zeros.data(), n)) return false;
      length -= n;
    }
    return true;
  });
}

void LibarchiveReader::ReadSparseData(const std::function<bool(const void* data, std::size_t size)>& sink,
                                      const std::function<bool(std::uint64_t length)>& hole) {
  LibarchiveCall call;
  if (current_is_directory_) return;
  if (current_encrypted_) throw ArcError(ERROR_PASSWORD_FILE, "encrypted entry");
  std::uint64_t written = 0;
  std::uint32_t crc = 0;
  for (;;) {
    const void* buf = nullptr;
    std::size_t size = 0;
    la_int64_t offset = 0;
    int r = archive_read_data_block(a_, &buf, &size, &offset);
    if (r == ARCHIVE_EOF) {
      // A sparse entry may end in a hole that no block reports.
      if (current_sparse_ && written < current_size_) hole(current_size_ - written);
      // libarchive 3.6 checks no CRC of stored RAR 5 data.
      if (rar5_ && current_size_known_ && written != current_size_)
        throw ArcError(ERROR_BROKEN_DATA, "data shorter than declared");
      if (current_crc_known_ && crc != current_crc_) throw ArcError(ERROR_FILE_CRC, CrcMismatch(crc, current_crc_));
      return;
    }
    if (r != ARCHIVE_OK) {
      std::string why = ErrorText(a_);
      if (rar5_ && current_size_known_ && written == current_size_ && current_crc_known_ && crc == current_crc_)
        return;  // all data came and is right: the error is libarchive's own
      // Warnings while reading data are checksum or length mismatches.
      if (r == ARCHIVE_WARN)
        throw ArcError(why.find("CRC") != std::string::npos ? ERROR_FILE_CRC : ERROR_BROKEN_DATA, why);
      bool encrypted = why.find("ncrypt") != std::string::npos;
      throw ArcError(encrypted ? ERROR_PASSWORD_FILE : ERROR_BROKEN_DATA, why);
    }
    // Sparse entries leave holes between their blocks.
    if (offset > 0 && written < static_cast<std::uint64_t>(offset)) {
      if (!hole(static_cast<std::uint64_t>(offset) - written)) return;
      written = static_cast<std::uint64_t>(offset);
    }
    if (size == 0) continue;
    if (current_crc_known_) crc = Crc32(crc, buf, size);
    if (!sink(buf, size)) return;
    written += size;
  }
}

}  // namespace arc
