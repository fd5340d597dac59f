// SPDX-License-Identifier: MIT
#pragma once
// A walk over the block headers of a RAR 5 archive for what libarchive does
// not report: which file entries are encrypted, their stored CRC32, and
// whether the headers themselves are encrypted, whether the archive is solid
// and whether it ends where it should.
#include <cstdint>
#include <string>
#include <vector>

namespace arc {

struct Rar5FileFacts {
  bool encrypted = false;
  bool directory = false;
  std::uint32_t crc = 0;  // 0 when the header stores none
  bool splitBefore = false;  // the data began in the previous volume
  bool splitAfter = false;   // the data goes on in the next volume
};

struct Rar5Scan {
  bool headersEncrypted = false;
  bool solid = false;    // skipping an entry's data means decoding it
  bool cutShort = false;  // the file ends before the end-of-archive header
  bool volume = false;       // one volume of a set
  bool moreVolumes = false;  // its end header says a volume follows
  std::vector<Rar5FileFacts> files;  // file headers in archive order
};

// Reads the headers of the archive at `fsPath` (a file-system path). Stops
// quietly at the first header it cannot make sense of: the full reader
// reports damage; this walk only adds facts.
Rar5Scan ScanRar5(const std::string& fsPath);

}  // namespace arc
