// SPDX-License-Identifier: MIT
// RAR 1.5-4 data through libunarr (Linux).
#include <unarr.h>

#include <memory>
#include <vector>

#include "archiver_api.h"
#include "archivers/rar/rar4_data.h"
#include "archivers/shared/archive_reader.h"

namespace arc {

namespace {

struct StreamCloser {
  void operator()(ar_stream* s) const { ar_close(s); }
};
struct ArchiveCloser {
  void operator()(ar_archive* a) const { ar_close_archive(a); }
};

constexpr std::size_t kChunk = 1 << 16;

class UnarrData : public Rar4Data {
 public:
  UnarrData(std::unique_ptr<ar_stream, StreamCloser> stream, std::unique_ptr<ar_archive, ArchiveCloser> archive,
            bool solid)
      : stream_(std::move(stream)), archive_(std::move(archive)), solid_(solid) {}

  bool Next(std::optional<std::uint64_t>& headerOffset) override {
    // In a solid archive every entry's data continues the previous one's,
    // so skipped data is decoded all the same.
    if (hasEntry_ && !decoded_ && solid_) {
      try {
        Run([](const void*, std::size_t) { return true; });
      } catch (const ArcError&) {
        // The entries that depend on it report their own failure.
      }
    }
    hasEntry_ = false;
    if (!ar_parse_entry(archive_.get())) {
      if (ar_at_eof(archive_.get())) return false;
      throw ArcError(ERROR_HEADER_BROKEN, "RAR archive is damaged");
    }
    hasEntry_ = true;
    decoded_ = false;
    headerOffset = static_cast<std::uint64_t>(ar_entry_get_offset(archive_.get()));
    return true;
  }

  bool Decode(const rar::FileHeader&, const Sink& sink) override { return Run(sink); }

 private:
  bool Run(const Sink& sink) {
    decoded_ = true;
    std::size_t left = ar_entry_get_size(archive_.get());
    std::vector<std::uint8_t> buf(kChunk);
    bool wanted = true;
    while (left > 0) {
      std::size_t n = left < kChunk ? left : kChunk;
      if (!ar_entry_uncompress(archive_.get(), buf.data(), n)) {
        // libunarr also fails the last piece when the CRC does not match;
        // the data is in the buffer then, and the reader's CRC check tells.
        if (n < left) throw ArcError(ERROR_BROKEN_DATA, "RAR entry is damaged");
        return wanted && sink(buf.data(), n);
      }
      left -= n;
      if (wanted && !sink(buf.data(), n)) {
        // A solid archive's next entry needs this one decoded to its end.
        if (!solid_) return false;
        wanted = false;
      }
    }
    return wanted;
  }

  std::unique_ptr<ar_stream, StreamCloser> stream_;
  std::unique_ptr<ar_archive, ArchiveCloser> archive_;
  bool solid_;
  bool hasEntry_ = false;
  bool decoded_ = false;
};

}  // namespace

std::unique_ptr<Rar4Data> OpenRar4Data(const std::string& path, const std::string& fsPath, bool solid) {
  std::unique_ptr<ar_stream, StreamCloser> stream(ar_open_file(fsPath.c_str()));
  if (!stream) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  std::unique_ptr<ar_archive, ArchiveCloser> archive(ar_open_rar_archive(stream.get()));
  if (!archive) throw ArcError(ERROR_NOT_ARC_FILE, "not a RAR archive");
  return std::make_unique<UnarrData>(std::move(stream), std::move(archive), solid);
}

}  // namespace arc
