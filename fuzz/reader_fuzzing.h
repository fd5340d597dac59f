// SPDX-License-Identifier: MIT
#pragma once
// What every archive-reader fuzzer does: write the input to a file (the
// readers open archives by path) and read every entry to its end. Damage
// must end in an ArcError, never in a crash, a hang or unbounded memory.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archivers/shared/archive_reader.h"

namespace fuzzing {

// A forged size of gigabytes is cut off here the way a consumer with a
// size limit would.
inline constexpr std::size_t kMaxBytesPerEntry = 16u << 20;

// One scratch file per fuzzer process and name, in memory where possible,
// removed when the fuzzer ends (a crash leaves it, with the input to replay).
inline std::string TempPath(const std::string& name) {
  static struct Scratch {
    std::vector<std::string> paths;
    ~Scratch() {
      for (const std::string& p : paths) std::remove(p.c_str());
    }
  } scratch;
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string path = std::string(dir) + "/fuzz_" + name + "_" + std::to_string(getpid()) + "." + name;
  if (std::find(scratch.paths.begin(), scratch.paths.end(), path) == scratch.paths.end()) scratch.paths.push_back(path);
  return path;
}

inline bool WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  return true;
}

// The current entry's data, up to the cap; a damaged entry only ends
// itself, since the next header may still be sound.
inline void ReadCurrentEntry(arc::ArchiveReader& reader) {
  std::size_t total = 0;
  try {
    reader.ReadData([&](const void*, std::size_t n) {
      total += n;
      return total < kMaxBytesPerEntry;
    });
  } catch (const arc::ArcError&) {
  }
}

template <typename Open>
void ReadEveryEntry(Open open, const std::string& path) {
  try {
    auto reader = open(path);
    arc::EntryInfo info;
    while (reader->Next(info)) ReadCurrentEntry(*reader);
  } catch (const arc::ArcError&) {
  }
}

// The other ways through a reader: a walk over the headers alone (as the
// size check before extraction makes it), then a pass that reads every
// other entry and skips the rest (as a selection does).
template <typename Open>
void WalkAndSkipEntries(Open open, const std::string& path) {
  try {
    arc::HeaderWalkScope walk;
    auto reader = open(path);
    arc::EntryInfo info;
    while (reader->Next(info)) {
    }
  } catch (const arc::ArcError&) {
  }
  try {
    auto reader = open(path);
    arc::EntryInfo info;
    for (bool read = false; reader->Next(info); read = !read) {
      if (read) ReadCurrentEntry(*reader);
    }
  } catch (const arc::ArcError&) {
  }
}

// The whole run of a reader fuzzer: the input written to `path`, read entry
// by entry, then walked and skipped through.
template <typename Open>
void ReadInEveryWay(Open open, const std::string& path, const std::uint8_t* data, std::size_t size) {
  if (!WriteInput(path, data, size)) return;
  ReadEveryEntry(open, path);
  WalkAndSkipEntries(open, path);
}

// Little-endian field of `n` bytes, for the checksum repairs.
inline std::uint32_t Le(const std::uint8_t* p, int n) {
  std::uint32_t v = 0;
  for (int i = n; i-- > 0;) v = v << 8 | p[i];
  return v;
}

}  // namespace fuzzing
