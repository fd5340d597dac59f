// SPDX-License-Identifier: MIT
// Random names and contents through our LZH writer, then through the LZH
// reader (liblhasa): every entry must come back with the same name and the
// same bytes, and a name the header cannot hold must be refused cleanly.
//
// Input: a byte N, then N bytes that pick the name's pieces, then the
// content; a second entry takes the content reversed, so each archive holds
// an -lh5- entry beside an -lh0- one more often than not.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archivers/shared/archive_reader.h"
#include "archivers/lzh/lzh_entry_writer.h"
#include "fuzz/reader_fuzzing.h"
#include "archivers/lzh/lzh_format.h"

namespace {

// Name pieces: ASCII, "/" and double-byte characters, two of them ending
// in 0x5C, which a careless writer or reader takes for a separator.
const char* const kPieces[] = {"a", "B", "7", ".", "-", "_", " ", "/", "//",
                               "\x83\x5C",   // ソ
                               "\x95\x5C",   // 表
                               "\x8B\xC8",   // 曲
                               "\x82\xA0"};  // あ

// What the reader reports: empty parts dropped, "/" between the rest.
std::string Normalized(const std::string& name) {
  std::string out, part;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    bool lead = i < name.size() && (static_cast<unsigned char>(name[i]) >= 0x81);
    if (lead) {
      part += name.substr(i, 2);
      ++i;
      continue;
    }
    if (i == name.size() || name[i] == '/') {
      if (!part.empty()) out += (out.empty() ? "" : "/") + part;
      part.clear();
    } else {
      part += name[i];
    }
  }
  return out;
}

struct Entry {
  std::string name;
  std::string data;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 1) return 0;
  std::size_t nameLen = std::min<std::size_t>(input[0], size - 1);
  std::string name;
  for (std::size_t i = 0; i < nameLen; ++i) name += kPieces[input[1 + i] % std::size(kPieces)];
  std::string data(reinterpret_cast<const char*>(input + 1 + nameLen), size - 1 - nameLen);
  std::vector<Entry> entries{{name, data}, {name + "/r", std::string(data.rbegin(), data.rend())}};

  std::string archive;
  for (const auto& e : entries) {
    try {
      archive += arc::MakeLzhEntry(e.name, false, 1000000000,
                                   reinterpret_cast<const std::uint8_t*>(e.data.data()), e.data.size());
    } catch (const arc::ArcError&) {
      // Only a name without any part may be refused.
      if (!Normalized(e.name).empty()) std::abort();
      return 0;
    }
  }
  archive += arc::kLzhArchiveEnd;

  static const std::string path = fuzzing::TempPath("lzh");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(archive.data(), 1, archive.size(), f);
  std::fclose(f);

  auto reader = arc::OpenLzhReader(path);  // an error here is a finding
  arc::EntryInfo info;
  for (const auto& e : entries) {
    if (!reader->Next(info)) std::abort();
    if (info.name != Normalized(e.name)) std::abort();
    std::string back;
    reader->ReadData([&](const void* d, std::size_t n) {
      back.append(static_cast<const char*>(d), n);
      return true;
    });
    if (back != e.data) std::abort();
  }
  if (reader->Next(info)) std::abort();
  return 0;
}
