// SPDX-License-Identifier: MIT
#pragma once
// A C stdio file that closes itself, for the readers that walk headers
// with fread/fseeko.
#include <cstdint>
#include <cstdio>
#include <memory>

namespace arc {

// Moves to byte `pos` from the start. fseeko's offset is 32 bits on 32-bit
// Windows, which would fold positions past 2 GiB back into the file.
inline bool SeekFromStart(std::FILE* f, std::uint64_t pos) {
#ifdef _WIN32
  return fseeko64(f, static_cast<std::int64_t>(pos), SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

// The file's length in bytes, or -1 when it cannot be told.
inline std::int64_t FileLength(std::FILE* f) {
#ifdef _WIN32
  if (fseeko64(f, 0, SEEK_END) != 0) return -1;
  return ftello64(f);
#else
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  return ftello(f);
#endif
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using StdioFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace arc
