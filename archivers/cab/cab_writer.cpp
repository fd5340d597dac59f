// SPDX-License-Identifier: MIT
#include "archivers/cab/cab_writer.h"

#include <zlib.h>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/shared/replacing_file.h"
#include "platform/cp932.h"

namespace arc {

namespace {
constexpr std::size_t kBlock = 32768;
constexpr std::uint64_t kMaxFolderBytes = 0xFFFFull * kBlock;  // the data block count is 16-bit


std::string StoredName(const CabInput& f) {
  std::string n = f.name;
  // Folders are separated by "\" in a cabinet; whole characters only.
  for (std::size_t i = 0; i < n.size(); i = f.utf8 ? i + 1 : platform::NextCharPos(n, i))
    if (n[i] == '/') n[i] = '\\';
  return n;
}

class BlockWriter {
 public:
  explicit BlockWriter(ReplacingFile& out) : out_(out) {
    if (deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw ArcError(ERROR_ENOUGH_MEMORY, "deflate unavailable");
    pending_.reserve(kBlock);
  }
  ~BlockWriter() { deflateEnd(&z_); }

  void Add(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      std::size_t n = std::min(size, kBlock - pending_.size());
      pending_.append(p, n);
      p += n;
      size -= n;
      if (pending_.size() == kBlock) Flush();
    }
  }
  void Flush() {
    if (pending_.empty()) return;
    deflateReset(&z_);
    std::string packed(deflateBound(&z_, kBlock) + 2, '\0');
    packed[0] = 'C';
    packed[1] = 'K';
    z_.next_in = reinterpret_cast<Bytef*>(pending_.data());
    z_.avail_in = static_cast<uInt>(pending_.size());
    z_.next_out = reinterpret_cast<Bytef*>(packed.data() + 2);
    z_.avail_out = static_cast<uInt>(packed.size() - 2);
    if (deflate(&z_, Z_FINISH) != Z_STREAM_END) throw ArcError(ERROR_ENOUGH_MEMORY, "deflate failed");
    packed.resize(2 + z_.total_out);
    std::string head;
    Put32(head, 0);  // no checksum
    Put16(head, static_cast<std::uint32_t>(packed.size()));
    Put16(head, static_cast<std::uint32_t>(pending_.size()));
    out_.Write(head);
    out_.Write(packed);
    ++blocks_;
    pending_.clear();
  }
  std::uint32_t Blocks() const { return blocks_; }

 private:
  ReplacingFile& out_;
  z_stream z_{};
  std::string pending_;
  std::uint32_t blocks_ = 0;
};
}  // namespace

void WriteCabinet(ReplacingFile& out, const std::vector<CabInput>& files) {
  if (files.size() > 0xFFFF) throw ArcError(ERROR_TOO_MANY_FILES, "too many files for one cabinet");
  std::uint64_t total = 0;
  std::string entries;
  for (const auto& f : files) {
    std::uint16_t date = 0, time = 0;
    ToDosDateTime(f.mtime, date, time);
    Put32(entries, static_cast<std::uint32_t>(f.size));
    Put32(entries, static_cast<std::uint32_t>(total));
    Put16(entries, 0);  // folder 0
    Put16(entries, date);
    Put16(entries, time);
    Put16(entries, 0x20 | (f.utf8 ? 0x80 : 0));  // archive; name is UTF-8
    entries += StoredName(f);
    entries.push_back('\0');
    total += f.size;
    if (total > kMaxFolderBytes) throw ArcError(ERROR_ADD_TO_LARGE, "too much data for one cabinet");
  }
  constexpr std::uint32_t kHeader = 36, kFolder = 8;
  std::uint32_t dataStart = kHeader + kFolder + static_cast<std::uint32_t>(entries.size());
  std::string head;
  head += "MSCF";
  Put32(head, 0);
  Put32(head, 0);  // cabinet size, set at the end
  Put32(head, 0);
  Put32(head, kHeader + kFolder);  // first file entry
  Put32(head, 0);
  head.push_back('\x03');  // format 1.3
  head.push_back('\x01');
  Put16(head, 1);  // folders
  Put16(head, static_cast<std::uint32_t>(files.size()));
  Put16(head, 0);  // flags
  Put16(head, 0);  // set id
  Put16(head, 0);  // index in set
  Put32(head, dataStart);
  Put16(head, static_cast<std::uint32_t>((total + kBlock - 1) / kBlock));
  Put16(head, 1);  // MSZIP
  std::uint64_t start = out.Size();
  out.Write(head);
  out.Write(entries);
  BlockWriter blocks(out);
  for (const auto& f : files) {
    std::uint64_t given = 0;
    f.produce([&](const void* data, std::size_t size) {
      given += size;
      if (given > f.size) throw ArcError(ERROR_CANNOT_READ, "file changed while packing: " + f.name);
      blocks.Add(data, size);
    });
    if (given != f.size) throw ArcError(ERROR_CANNOT_READ, "file changed while packing: " + f.name);
  }
  blocks.Flush();
  std::uint64_t size = out.Size() - start;
  if (size > 0xFFFFFFFFu) throw ArcError(ERROR_ADD_TO_LARGE, "cabinet too large");
  std::string sizeField;
  Put32(sizeField, static_cast<std::uint32_t>(size));
  out.WriteAt(start + 8, sizeField.data(), sizeField.size());
}

}  // namespace arc
