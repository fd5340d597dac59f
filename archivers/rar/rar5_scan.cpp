// SPDX-License-Identifier: MIT
#include "archivers/rar/rar5_scan.h"
#include "archivers/shared/le_bytes.h"
#include "archivers/shared/stdio_file.h"

#include <cstdio>
#include <memory>

namespace arc {

namespace {

constexpr std::uint64_t kMaxHeaderSize = 2 * 1024 * 1024;  // the format's own limit
constexpr int kMainHeader = 1, kFileHeader = 2, kEncryptionHeader = 4, kEndHeader = 5;
constexpr std::uint64_t kExtraEncryption = 1;
constexpr std::uint64_t kArchiveVolume = 0x0001, kArchiveSolid = 0x0004;
constexpr std::uint64_t kSplitBefore = 0x0008, kSplitAfter = 0x0010;  // header flags
constexpr std::uint64_t kMoreVolumes = 0x0001;                        // end header flags

// Variable-length integers: 7 bits a byte, low first, high bit = more.
struct Cursor {
  const unsigned char* p;
  const unsigned char* end;
  bool ok = true;

  std::uint64_t Vint() {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (p >= end) break;
      unsigned char b = *p++;
      v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return v;
    }
    ok = false;
    return 0;
  }
  std::uint32_t U32() {
    if (end - p < 4) {
      ok = false;
      return 0;
    }
    std::uint32_t v = Le32(p);
    p += 4;
    return v;
  }
  void Skip(std::uint64_t n) {
    if (static_cast<std::uint64_t>(end - p) < n) {
      ok = false;
      p = end;
    } else {
      p += n;
    }
  }
};

Rar5FileFacts ParseFileHeader(Cursor c, std::uint64_t extraSize) {
  Rar5FileFacts facts;
  const unsigned char* extraStart = c.end - extraSize;
  std::uint64_t fileFlags = c.Vint();
  c.Vint();  // unpacked size
  c.Vint();  // attributes
  if (fileFlags & 0x0002) c.U32();  // modification time
  if (fileFlags & 0x0004) facts.crc = c.U32();
  facts.directory = (fileFlags & 0x0001) != 0;
  Cursor extra{extraStart, c.end};
  while (extra.ok && extra.p < extra.end) {
    std::uint64_t size = extra.Vint();
    if (!extra.ok || size == 0 || size > static_cast<std::uint64_t>(extra.end - extra.p)) break;
    Cursor record{extra.p, extra.p + size};
    if (record.Vint() == kExtraEncryption && record.ok) facts.encrypted = true;
    extra.p = record.end;
  }
  return facts;
}

}  // namespace

Rar5Scan ScanRar5(const std::string& fsPath) {
  Rar5Scan scan;
  StdioFile f(fopen(fsPath.c_str(), "rb"));
  if (!f) return scan;
  unsigned char sig[8];
  static const std::string kSignature("Rar!\x1A\x07\x01\x00", 8);
  if (std::fread(sig, 1, 8, f.get()) != 8 || std::string(reinterpret_cast<char*>(sig), 8) != kSignature) return scan;
  std::string header;
  for (;;) {
    unsigned char lead[4 + 10];
    std::size_t got = std::fread(lead, 1, sizeof lead, f.get());
    if (got < 5) {
      scan.cutShort = true;
      break;
    }
    Cursor sizeCursor{lead + 4, lead + got};
    std::uint64_t headerSize = sizeCursor.Vint();
    if (!sizeCursor.ok || headerSize == 0 || headerSize > kMaxHeaderSize) break;
    long headerStart = std::ftell(f.get()) - static_cast<long>(got) + static_cast<long>(sizeCursor.p - lead);
    header.resize(headerSize);
    if (std::fseek(f.get(), headerStart, SEEK_SET) != 0) break;
    if (std::fread(header.data(), 1, headerSize, f.get()) != headerSize) {
      scan.cutShort = true;
      break;
    }
    Cursor c{reinterpret_cast<const unsigned char*>(header.data()),
             reinterpret_cast<const unsigned char*>(header.data()) + header.size()};
    std::uint64_t type = c.Vint();
    std::uint64_t flags = c.Vint();
    std::uint64_t extraSize = (flags & 0x0001) ? c.Vint() : 0;
    std::uint64_t dataSize = (flags & 0x0002) ? c.Vint() : 0;
    if (!c.ok || extraSize > static_cast<std::uint64_t>(c.end - c.p)) break;
    if (type == kEncryptionHeader) {
      scan.headersEncrypted = true;
      break;
    }
    if (type == kEndHeader) {
      scan.moreVolumes = (c.Vint() & kMoreVolumes) != 0 && c.ok;
      break;
    }
    if (type == kMainHeader) {
      std::uint64_t archiveFlags = c.Vint();
      scan.solid = (archiveFlags & kArchiveSolid) != 0;
      scan.volume = (archiveFlags & kArchiveVolume) != 0;
    }
    if (type == kFileHeader) {
      scan.files.push_back(ParseFileHeader(c, extraSize));
      scan.files.back().splitBefore = (flags & kSplitBefore) != 0;
      scan.files.back().splitAfter = (flags & kSplitAfter) != 0;
    }
    long next = headerStart + static_cast<long>(headerSize);
    if (dataSize > static_cast<std::uint64_t>(0x7FFFFFFFFFFFLL) ||
        std::fseek(f.get(), next + static_cast<long>(dataSize), SEEK_SET) != 0)
      break;
  }
  return scan;
}

}  // namespace arc
