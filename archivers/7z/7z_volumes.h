// SPDX-License-Identifier: MIT
#pragma once
// A raw split 7z set ("x.7z.001", "x.7z.002"...) read as the one archive
// its volumes make end to end (shared/volume_chain.h).
#include <cstdint>
#include <string>
#include <vector>

namespace arc {

// The volumes that follow `path` when it names a first volume (".001"),
// `path` itself first; just `path` otherwise. Paths in CP932.
std::vector<std::string> SevenZipVolumes(const std::string& path);

// The size the archive declares in its start header (32 bytes, then the
// next header's offset and size); 0 when the header cannot be read.
std::uint64_t DeclaredSevenZipSize(const std::string& firstVolume);

}  // namespace arc
