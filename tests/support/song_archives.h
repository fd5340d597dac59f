// SPDX-License-Identifier: MIT
#pragma once
// Song archives of every format, made at test time by Debian's archivers
// (and, for RAR, which Debian cannot create, by the test writer).
#include <string>
#include <vector>

namespace test_support {

// CP932 bytes of a Japanese title, used in names and headers.
std::string JapaneseTitle();

// Files of a typical song folder "song/": two charts (one with an upper-case
// extension and a Shift-JIS title), a text file and a sound.
struct SongFile {
  std::string name;  // relative, "/" between folders, UTF-8
  std::string bytes;
};
std::vector<SongFile> TypicalSong();

// Makes `archiveName` (its extension picks the format: .lzh .zip .cab .arj
// .tar .tgz .taz .bz2 .rar .7z, tars in .xz .zst .tlz, or .gz for one
// gzipped chart) in `dir` from
// `files`, every file dated 2024-05-03 12:00 UTC. False when the tool for the
// format is missing.
bool MakeArchive(const std::string& dir, const std::string& archiveName, const std::vector<SongFile>& files);

}  // namespace test_support
