// SPDX-License-Identifier: MIT
#include "archivers/lzh/lzh_libarchive_data.h"

#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/libarchive_call.h"

namespace arc {

namespace {

constexpr std::size_t kMaxBlock = 1 << 20;
// Reads stop at the entry's end, but not below this: a header and a small
// entry come in one read either way.
constexpr std::size_t kMinBlock = 64 << 10;

la_ssize_t ReadBlock(struct archive* a, void* self, const void** block) {
  auto* in = static_cast<LzhLibarchiveData::Input*>(self);
  if (in->pos >= in->fileSize) return 0;
  std::uint64_t want = in->readTo > in->pos ? in->readTo - in->pos : 0;
  want = std::clamp<std::uint64_t>(want, kMinBlock, kMaxBlock);
  want = std::min(want, in->fileSize - in->pos);
  ssize_t n = pread(in->fd, in->buf.data(), static_cast<std::size_t>(want), static_cast<std::int64_t>(in->pos));
  if (n < 0) {
    archive_set_error(a, errno, "read error");
    return -1;
  }
  in->pos += static_cast<std::uint64_t>(n);
  *block = in->buf.data();
  return static_cast<la_ssize_t>(n);
}

// Skipping is a seek: a charts-only scan passes over the sounds unread.
la_int64_t Skip(struct archive*, void* self, la_int64_t request) {
  auto* in = static_cast<LzhLibarchiveData::Input*>(self);
  if (request <= 0) return 0;
  std::uint64_t left = in->pos < in->fileSize ? in->fileSize - in->pos : 0;
  std::uint64_t n = std::min(static_cast<std::uint64_t>(request), left);
  in->pos += n;
  return static_cast<la_int64_t>(n);
}

[[noreturn]] void Damaged() { throw ArcError(ERROR_BROKEN_DATA, "LZH data truncated or damaged"); }

}  // namespace

LzhLibarchiveData::LzhLibarchiveData(int fd, std::uint64_t fileSize) {
  in_.fd = fd;
  in_.fileSize = fileSize;
  in_.buf.resize(kMaxBlock);
}

LzhLibarchiveData::~LzhLibarchiveData() { Close(); }

bool LzhLibarchiveData::Decodes(const char* method) {
  return std::strcmp(method, "-lh5-") == 0 || std::strcmp(method, "-lh6-") == 0 || std::strcmp(method, "-lh7-") == 0;
}

bool LzhLibarchiveData::Open(std::uint64_t at) {
  Close();
  a_ = archive_read_new();
  if (!a_) return false;
  in_.base = in_.pos = at;
  if (archive_read_support_format_lha(a_) != ARCHIVE_OK ||
      archive_read_open2(a_, &in_, nullptr, ReadBlock, Skip, nullptr) != ARCHIVE_OK) {
    Close();
    return false;
  }
  next_ = at;
  return true;
}

void LzhLibarchiveData::Close() {
  if (a_) archive_read_free(a_);
  a_ = nullptr;
}

LzhLibarchiveData::Result LzhLibarchiveData::Read(const Entry& entry, const Sink& sink) {
  LibarchiveCall call;
  in_.readTo = entry.dataEnd;
  // The handle carries on from the entry it read last; after entries it
  // was not asked for (skipped, or liblhasa's) it starts afresh at this one.
  if (!a_ || next_ != entry.headerOffset) {
    if (!Open(entry.headerOffset)) return Result::kRefused;
  }
  struct archive_entry* e = nullptr;
  int r = archive_read_next_header(a_, &e);
  // Both libraries must see the same entry at the same place, data and all;
  // else liblhasa decodes it.
  if ((r != ARCHIVE_OK && r != ARCHIVE_WARN) || in_.base + static_cast<std::uint64_t>(archive_read_header_position(a_)) != entry.headerOffset ||
      in_.base + static_cast<std::uint64_t>(archive_filter_bytes(a_, 0)) != entry.dataOffset ||
      !archive_entry_size_is_set(e) || static_cast<std::uint64_t>(archive_entry_size(e)) != entry.size) {
    Close();
    return Result::kRefused;
  }
  // After this entry, read in full or not, the handle stands at the next header.
  next_ = entry.dataEnd;
  std::uint64_t total = 0;
  bool crcWrong = false;
  la_int64_t emptyAt = -1;
  for (;;) {
    const void* block = nullptr;
    std::size_t n = 0;
    la_int64_t offset = 0;
    r = archive_read_data_block(a_, &block, &n, &offset);
    if (r == ARCHIVE_EOF) break;
    if (r == ARCHIVE_WARN && n == 0) {
      // The end of the entry, with libarchive's CRC-16 not matching the header's.
      crcWrong = true;
      break;
    }
    if (r != ARCHIVE_OK) {
      Close();
      Damaged();
    }
    if (n == 0) {
      // Blocks without output must still consume input; two in a row at
      // the same place would repeat forever.
      la_int64_t at = archive_filter_bytes(a_, 0);
      if (at == emptyAt) {
        Close();
        Damaged();
      }
      emptyAt = at;
      continue;
    }
    total += n;
    if (total > entry.size) {
      Close();
      throw ArcError(ERROR_BROKEN_DATA, "LZH data longer than its header says");
    }
    if (!sink(block, n)) return Result::kStopped;
  }
  if (total != entry.size) Damaged();
  if (crcWrong) throw ArcError(ERROR_FILE_CRC, "LZH CRC mismatch");
  return Result::kDone;
}

}  // namespace arc
