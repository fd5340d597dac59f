// SPDX-License-Identifier: MIT
#pragma once
// Names of RAR 1.5-4.x entries. The header holds the name in the packer's
// code page; with the "Unicode name" flag it holds either UTF-8 alone or
// that name, a zero byte and a packed Unicode form. The packed form is
// decoded here (libunarr 1.0.1 garbles anything beyond Latin and the
// basic plane). Without the flag the code page is the packer's: CP932 for
// archives made on Windows, UTF-8 for those made on a Unix host.
#include <cstdint>
#include <string>

namespace arc::rar {

struct EntryName {
  std::string bytes;  // "\" and "/" both separate folders
  bool utf8 = false;
};

// `raw` is the name field as stored, `unicodeFlag` the header's flag 0x0200,
// `hostOs` the header's host (3 for Unix).
EntryName DecodeEntryName(const std::string& raw, bool unicodeFlag, std::uint8_t hostOs);

// The packed Unicode form (the bytes after the zero) as UTF-8, pairs of
// surrogates joined; false when it does not decode to a valid name.
bool DecodePackedUnicode(const std::string& ansi, const std::string& packed, std::string& utf8);

}  // namespace arc::rar
