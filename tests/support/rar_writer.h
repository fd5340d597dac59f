// SPDX-License-Identifier: MIT
#pragma once
// A writer of stored (uncompressed) RAR archives, for tests only: Debian has
// no RAR packer, and stored entries are enough to check names, flags, CRCs
// and the route from the signature to the right reader.
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct RarEntry {
  std::string name;         // RAR 4: the raw header bytes ("\" between folders); RAR 5: UTF-8
  std::u16string unicode;   // RAR 4 only: when set, stored as the Unicode form of the name
  std::string data;
  bool directory = false;
  bool encrypted = false;   // only the flag: the data stays as given
  std::uint32_t dosTime = 0x5A2C6000;  // 2025-01-12 12:00:00
  std::uint8_t host = 2;    // RAR 4: 2 Windows, 3 Unix
  std::uint32_t attributes = 0;  // RAR 4: 0 gives the DOS file or folder attribute
  // RAR 5: the compression method the header states (0 stored) and the
  // unpacked size it declares (-1: the data's length); the data is written
  // as given, so a packed entry's data is its packed bytes.
  unsigned method = 0;
  std::int64_t unpackedSize = -1;
};

// RAR 1.5-4.x layout: marker, main header, file headers with their data,
// end-of-archive header. `archiveFlags` goes into the main header.
std::string WriteRar4(const std::vector<RarEntry>& entries, std::uint16_t archiveFlags = 0);

// RAR 5 layout: signature, main header, file headers with their data, end
// header.
std::string WriteRar5(const std::vector<RarEntry>& entries);

// A volume set of the same layouts: each volume holds at most about
// `dataPerVolume` bytes of entry data, an entry that does not fit goes on
// in the next volume (its header repeated with the split flags, the stored
// CRC of a part that goes on being that part's, the last part's the whole
// entry's). The main headers say "volume" and the end headers whether a
// volume follows. Volumes in order.
// RAR 4: `partNames` flags the "x.partN.rar" naming, else ".rar", ".r00"...
std::vector<std::string> WriteRar4Volumes(const std::vector<RarEntry>& entries, std::size_t dataPerVolume,
                                          bool partNames = true);
std::vector<std::string> WriteRar5Volumes(const std::vector<RarEntry>& entries, std::size_t dataPerVolume);

}  // namespace test_support
