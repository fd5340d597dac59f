// SPDX-License-Identifier: MIT
#include "archivers/lzh/lzh_entry_writer.h"

#include <vector>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/lzh/crc16.h"
#include "archivers/lzh/lh5_encoder.h"
#include "platform/cp932.h"

namespace arc {

namespace {
void Put16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Append16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Append32(std::string& s, std::uint32_t v) {
  Append16(s, v & 0xFFFF);
  Append16(s, v >> 16);
}

// Extension field: type, data, then the size of the next field (patched by
// the following field, 0 for the last).
void AppendExtension(std::string& h, std::size_t& sizeAt, char type, const std::string& data) {
  std::size_t size = 1 + data.size() + 2;
  if (size > 0xFFFF) throw ArcError(ERROR_NOT_FILENAME, "name too long for an LZH header");
  Put16(h, sizeAt, static_cast<std::uint32_t>(size));
  h.push_back(type);
  h += data;
  sizeAt = h.size();
  Append16(h, 0);
}

// Splits "a/b/c" into the folder field "a\xFFb\xFF" and "c" (whole CP932
// characters, so a "/" never hides in a second byte).
void SplitName(const std::string& name, bool isFolder, std::string& dirField, std::string& leaf) {
  std::string part;
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t next = platform::NextCharPos(name, i);
    if (next - i == 1 && name[i] == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.append(name, i, next - i);
    }
    i = next;
  }
  if (!part.empty()) parts.push_back(part);
  if (!isFolder && !parts.empty()) {
    leaf = parts.back();
    parts.pop_back();
  }
  for (auto& p : parts) dirField += p + '\xFF';
}
}  // namespace

std::string MakeLzhEntry(const std::string& name, bool isFolder, std::time_t mtime, const std::uint8_t* data,
                         std::size_t size) {
  if (size > kMaxLzhEntrySize) throw ArcError(ERROR_ADD_TO_LARGE, "file too large for an LZH entry");
  std::string dirField, leaf;
  SplitName(name, isFolder, dirField, leaf);
  if (leaf.empty() && dirField.empty()) throw ArcError(ERROR_NOT_FILENAME, "empty entry name");

  std::string body;
  const char* method = "-lhd-";
  if (!isFolder) {
    method = "-lh0-";
    if (size > 0) {
      body = EncodeLh5(data, size);
      if (body.size() < size) {
        method = "-lh5-";
      } else {
        body.assign(reinterpret_cast<const char*>(data), size);
      }
    }
  }
  std::uint16_t crc = isFolder ? 0 : Crc16Update(0, data, size);

  std::string h;
  Append16(h, 0);  // header size, patched below
  h += method;
  Append32(h, static_cast<std::uint32_t>(body.size()));
  Append32(h, static_cast<std::uint32_t>(isFolder ? 0 : size));
  Append32(h, static_cast<std::uint32_t>(mtime < 0 ? 0 : mtime));
  h.push_back(isFolder ? '\x10' : '\x20');  // DOS attribute: folder / archive
  h.push_back('\x02');                       // header level
  Append16(h, crc);
  h.push_back('M');  // written by an MS-DOS family archiver
  std::size_t sizeAt = h.size();
  Append16(h, 0);
  AppendExtension(h, sizeAt, '\x00', std::string(2, '\0'));  // header CRC, patched below
  std::size_t headerCrcAt = sizeAt - 2;
  if (!leaf.empty()) AppendExtension(h, sizeAt, '\x01', leaf);
  if (!dirField.empty()) AppendExtension(h, sizeAt, '\x02', dirField);
  // A header whose size has a zero low byte would read as the archive's
  // end; LHA pads such headers by one byte.
  if ((h.size() & 0xFF) == 0) h.push_back('\0');
  if (h.size() > 0xFFFF) throw ArcError(ERROR_NOT_FILENAME, "name too long for an LZH header");
  Put16(h, 0, static_cast<std::uint32_t>(h.size()));
  Put16(h, headerCrcAt, Crc16Update(0, h.data(), h.size()));
  return h + body;
}

}  // namespace arc
