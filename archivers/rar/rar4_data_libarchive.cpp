// SPDX-License-Identifier: MIT
// RAR 1.5-4 data through libarchive (Windows, where libunarr is not among
// the libraries built; and volume sets everywhere, which libunarr does not
// read).
#include <archive.h>
#include <archive_entry.h>

#include <cstring>

#include "archiver_api.h"
#include "archivers/rar/rar4_data.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/libarchive_call.h"
#include "archivers/shared/libarchive_reader.h"
#include "archivers/shared/volume_chain.h"

namespace arc {

namespace {

class LibarchiveData : public Rar4Data {
 public:
  explicit LibarchiveData(struct archive* a) : a_(a) {}
  ~LibarchiveData() override { archive_read_free(a_); }
  LibarchiveData(const LibarchiveData&) = delete;
  LibarchiveData& operator=(const LibarchiveData&) = delete;

  // libarchive says nothing of header offsets: the reader walks in order.
  // It steps over (and, in a solid archive, decodes) unread data itself.
  bool Next(std::optional<std::uint64_t>&) override {
    LibarchiveCall call;
    int r = archive_read_next_header(a_, &entry_);
    if (r == ARCHIVE_EOF) return false;
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) throw ArcError(ERROR_HEADER_BROKEN, "RAR archive is damaged");
    return true;
  }

  bool Decode(const rar::FileHeader&, const Sink& sink) override {
    LibarchiveCall call;
    for (;;) {
      const void* buf = nullptr;
      std::size_t size = 0;
      la_int64_t offset = 0;
      int r = archive_read_data_block(a_, &buf, &size, &offset);
      if (r == ARCHIVE_EOF) return true;
      if (r != ARCHIVE_OK) {
        const char* why = archive_error_string(a_);
        bool crcFailed = why && std::strstr(why, "CRC");
        throw ArcError(crcFailed ? ERROR_FILE_CRC : ERROR_BROKEN_DATA, "RAR entry is damaged");
      }
      if (size > 0 && !sink(buf, size)) return false;
    }
  }

  // libarchive reads a link's target out of its data while reading the
  // header.
  std::optional<std::string> TakenLinkTarget() override {
    if (archive_entry_filetype(entry_) != AE_IFLNK) return std::nullopt;
    const char* target = archive_entry_symlink(entry_);
    return std::string(target ? target : "");
  }

 private:
  struct archive* a_;
  struct archive_entry* entry_ = nullptr;
};

}  // namespace

// The tests of this decoder on Linux build it in place of libunarr's.
#if defined(_WIN32) || defined(BMSLIST_RAR4_BY_LIBARCHIVE)
std::unique_ptr<Rar4Data> OpenRar4Data(const std::string& path, const std::string&, bool) {
  return std::make_unique<LibarchiveData>(
      OpenLibarchive(path, [](struct archive* h) { archive_read_support_format_rar(h); }));
}
#endif

std::unique_ptr<Rar4Data> OpenRar4VolumeData(const std::vector<std::string>& volumes) {
  return std::make_unique<LibarchiveData>(
      OpenVolumeSet(volumes, [](struct archive* h) { archive_read_support_format_rar(h); }));
}

}  // namespace arc
