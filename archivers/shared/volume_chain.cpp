// SPDX-License-Identifier: MIT
#include "archivers/shared/volume_chain.h"

#include <archive.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/libarchive_call.h"
#include "archivers/shared/open_archive.h"

namespace arc {

namespace {

constexpr std::size_t kBlock = 64 << 10;

struct Volume {
  int fd;
  std::uint64_t start, size;  // place in the joined archive
};

// The volumes end to end: reads stop at a volume's end, seeks go anywhere.
struct VolumeSet {
  std::vector<Volume> volumes;
  std::uint64_t size = 0, pos = 0;
  std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(kBlock);
  ~VolumeSet() {
    for (const Volume& v : volumes) close(v.fd);
  }
};

la_ssize_t SetRead(struct archive* a, void* data, const void** out) {
  auto* s = static_cast<VolumeSet*>(data);
  *out = s->buffer.get();
  if (s->pos >= s->size) return 0;
  auto v = std::find_if(s->volumes.begin(), s->volumes.end(),
                        [&](const Volume& x) { return s->pos < x.start + x.size; });
  std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, v->start + v->size - s->pos));
  ssize_t n = pread(v->fd, s->buffer.get(), want, static_cast<std::int64_t>(s->pos - v->start));
  if (n <= 0) {
    archive_set_error(a, n < 0 ? errno : EIO, "read error");
    return -1;
  }
  s->pos += static_cast<std::uint64_t>(n);
  return n;
}

la_int64_t SetSeek(struct archive*, void* data, la_int64_t offset, int whence) {
  auto* s = static_cast<VolumeSet*>(data);
  la_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<la_int64_t>(s->pos)
                                                                : static_cast<la_int64_t>(s->size);
  la_int64_t to = base + offset;
  if (to < 0 || static_cast<std::uint64_t>(to) > s->size) return ARCHIVE_FATAL;
  s->pos = static_cast<std::uint64_t>(to);
  return to;
}

la_int64_t SetSkip(struct archive*, void* data, la_int64_t request) {
  auto* s = static_cast<VolumeSet*>(data);
  std::uint64_t step = std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max<la_int64_t>(request, 0)),
                                               s->size - s->pos);
  s->pos += step;
  return static_cast<la_int64_t>(step);
}

int SetClose(struct archive*, void* data) {
  delete static_cast<VolumeSet*>(data);
  return ARCHIVE_OK;
}

}  // namespace

struct archive* OpenVolumeSet(const std::vector<std::string>& volumes,
                              const std::function<void(struct archive*)>& configure) {
  auto set = std::make_unique<VolumeSet>();
  for (const std::string& path : volumes) {
    std::uint64_t size = 0;
    const int fd = OpenForReading(path, size);
    set->volumes.push_back({fd, set->size, size});
    set->size += size;
  }
  LibarchiveCall call;
  struct archive* a = archive_read_new();
  if (!a) throw ArcError(ERROR_ENOUGH_MEMORY, "out of memory");
  configure(a);
  archive_read_set_read_callback(a, SetRead);
  archive_read_set_seek_callback(a, SetSeek);
  archive_read_set_skip_callback(a, SetSkip);
  archive_read_set_close_callback(a, SetClose);
  archive_read_set_callback_data(a, set.release());
  // From here on the close callback owns the set, also on failure.
  if (archive_read_open1(a) != ARCHIVE_OK) {
    std::string why = archive_error_string(a) ? archive_error_string(a) : "not an archive";
    archive_read_free(a);
    throw ArcError(ERROR_NOT_ARC_FILE, why);
  }
  return a;
}

}  // namespace arc
