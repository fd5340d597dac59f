// SPDX-License-Identifier: MIT
// Decodes the input as a RAR 4 name field: the first byte picks the host
// and the Unicode flag, the rest is the field ("ANSI\0packed"). Forged run
// lengths and cut inputs must end the decoding, never read past the field;
// whatever comes out as UTF-8 must be valid UTF-8 without NUL.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archivers/shared/name_coding.h"
#include "archivers/rar/rar_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string raw(reinterpret_cast<const char*>(data + 1), size - 1);
  arc::rar::EntryName name = arc::rar::DecodeEntryName(raw, data[0] & 1, data[0] >> 1 & 3);
  if (name.utf8) {
    bool ascii = true;
    for (unsigned char c : name.bytes) ascii = ascii && c < 0x80;
    if (!ascii && !arc::LooksLikeUtf8(name.bytes)) std::abort();
    if (name.bytes.find('\0') != std::string::npos) std::abort();
  }
  return 0;
}
