// SPDX-License-Identifier: MIT
#pragma once
// The one part of the RAR 1.5-4 reader that differs between systems: the
// library that decodes the entries' data. libunarr on Linux
// (rar4_data_unarr.cpp); libarchive on Windows (rar4_data_libarchive.cpp),
// where unarr's source is not at hand. Headers, names, checks and CRCs are
// the reader's own (rar_reader.cpp), the same everywhere.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archivers/rar/rar_header.h"

namespace arc {

class Rar4Data {
 public:
  using Sink = std::function<bool(const void*, std::size_t)>;
  virtual ~Rar4Data() = default;
  // Moves to the library's next entry; false at the end of the archive.
  // `headerOffset` gets where the entry's file header starts when the
  // library says (else the reader walks the headers in order). ArcError
  // when the library finds the headers damaged.
  virtual bool Next(std::optional<std::uint64_t>& headerOffset) = 0;
  // Decodes the current entry (`header` is its file header) into `sink`,
  // piece by piece, until the sink answers false. True when every byte went
  // to the sink (the reader then checks the CRC). ArcError on damage.
  virtual bool Decode(const rar::FileHeader& header, const Sink& sink) = 0;
  // A symbolic link's target when the library took it from the data
  // itself; nullopt when the reader is to decode the data for it.
  virtual std::optional<std::string> TakenLinkTarget() { return std::nullopt; }
};

// The data side over the archive at `fsPath` (the file-system name;
// `path` is the name to report). `solid` as the archive flags say.
std::unique_ptr<Rar4Data> OpenRar4Data(const std::string& path, const std::string& fsPath, bool solid);
// The data side over a volume set, read end to end (libarchive on every
// system). Names in CP932.
std::unique_ptr<Rar4Data> OpenRar4VolumeData(const std::vector<std::string>& volumes);

}  // namespace arc
