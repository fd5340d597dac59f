// SPDX-License-Identifier: MIT
#pragma once
// Small writers for archives the Debian archivers cannot make (names as raw
// bytes, hostile names, chosen header levels).
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace test_support {

// One entry for the writers below. Names are raw bytes as stored.
struct RawEntry {
  RawEntry(std::string n, std::string d, char t = '0', std::string l = {}, std::time_t m = 946684800)
      : name(std::move(n)), data(std::move(d)), type(t), link(std::move(l)), mtime(m) {}
  std::string name;
  std::string data;
  char type;          // tar type: '0' file, '5' folder, '2' symlink, '1' hardlink
  std::string link;   // link target for '1' and '2'
  std::time_t mtime;  // default 2000-01-01 00:00:00 UTC
};

std::string MakeTar(const std::vector<RawEntry>& entries);             // ustar
std::string MakeStoredZip(const std::vector<RawEntry>& entries, bool utf8Flag);
// LZH with method -lh0-; level 0, 1 or 2 headers. "/" in names is stored
// the way the level requires ("\" in level 0/1 names, a folder field
// otherwise).
std::string MakeStoredLzh(const std::vector<RawEntry>& entries, int level);

// Little-endian fields, for writers of raw headers.
void Put16(std::string& s, unsigned v);
void Put32(std::string& s, std::uint32_t v);
// A ZIP's end-of-central-directory record (one disk, no comment).
void PutZipEnd(std::string& s, std::size_t entries, std::size_t dirSize, std::size_t dirOffset);
// A raw deflate stream (no zlib header), as ZIP entries and MSZIP blocks hold it.
std::string RawDeflate(const std::string& data);

// CP932 text of a UTF-8 literal (for Shift-JIS names).
std::string Sjis(const std::string& utf8);

}  // namespace test_support
