// SPDX-License-Identifier: MIT
#include "archivers/zip/zip_entry_writer.h"

#include <zlib.h>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/crc32.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/le_bytes.h"
#include "platform/cp932.h"

namespace arc {

namespace {
std::string Deflate(const std::string& data, int level) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw ArcError(ERROR_ENOUGH_MEMORY, "deflate unavailable");
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  int r = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (r != Z_STREAM_END) throw ArcError(ERROR_ENOUGH_MEMORY, "deflate failed");
  return out;
}
}  // namespace

ZipNewEntry MakeZipEntry(const std::string& fsName, bool isFolder, std::time_t mtime, const std::string& data,
                         int level) {
  if (data.size() > kMaxZipEntrySize) throw ArcError(ERROR_ADD_TO_LARGE, "file too large for a ZIP entry");
  std::string name;
  bool utf8 = !platform::TryUtf8ToCp932(fsName, name);
  if (utf8) name = fsName;
  if (isFolder) name += '/';
  if (name.size() > 0xFFFF) throw ArcError(ERROR_NOT_FILENAME, "name too long for a ZIP entry");

  std::uint32_t crc = Crc32(0, data.data(), data.size());
  std::string body;
  std::uint16_t method = 0;
  if (!isFolder && !data.empty() && level != 0) {
    body = Deflate(data, level < 0 ? 6 : level);
    if (body.size() < data.size()) method = 8;
  }
  if (method == 0) body = data;
  std::uint16_t date = 0, time = 0;
  ToDosDateTime(mtime, date, time);
  if (date == 0) date = (1 << 5) | 1;  // 1980-01-01 for times DOS cannot hold
  std::uint16_t flags = utf8 ? 0x0800 : 0;
  std::uint16_t needed = method == 8 ? 20 : 10;

  std::string extra;  // extended timestamp: modification time only
  Put16(extra, 0x5455);
  Put16(extra, 5);
  extra.push_back('\x01');
  Put32(extra, static_cast<std::uint32_t>(mtime));

  auto common = [&](std::string& s) {
    Put16(s, flags);
    Put16(s, method);
    Put16(s, time);
    Put16(s, date);
    Put32(s, crc);
    Put32(s, static_cast<std::uint32_t>(body.size()));
    Put32(s, static_cast<std::uint32_t>(isFolder ? 0 : data.size()));
    Put16(s, static_cast<std::uint32_t>(name.size()));
    Put16(s, static_cast<std::uint32_t>(extra.size()));
  };
  ZipNewEntry e;
  Put32(e.local, 0x04034b50);
  Put16(e.local, needed);
  common(e.local);
  e.local += name + extra + body;

  Put32(e.central, 0x02014b50);
  Put16(e.central, 20);  // made by: MS-DOS attributes, version 2.0
  Put16(e.central, needed);
  common(e.central);
  Put16(e.central, 0);  // comment
  Put16(e.central, 0);  // disk
  Put16(e.central, 0);  // internal attributes
  Put32(e.central, isFolder ? 0x10 : 0x20);
  Put32(e.central, 0);  // local header offset, set when placed
  e.central += name + extra;
  return e;
}

void SetCentralOffset(std::string& central, std::uint32_t offset) {
  for (int i = 0; i < 4; ++i) central[42 + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
}

std::string ZipEndRecord(std::uint32_t count, std::uint32_t dirSize, std::uint32_t dirOffset,
                         const std::string& comment) {
  std::string s;
  Put32(s, 0x06054b50);
  Put16(s, 0);
  Put16(s, 0);
  Put16(s, count);
  Put16(s, count);
  Put32(s, dirSize);
  Put32(s, dirOffset);
  Put16(s, static_cast<std::uint32_t>(comment.size()));
  return s + comment;
}

}  // namespace arc
