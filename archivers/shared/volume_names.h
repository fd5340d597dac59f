// SPDX-License-Identifier: MIT
#pragma once
// The names of the volumes of a split archive, for every kind of set:
//  - raw splits: "x.7z.001", "x.7z.002"... (any inner format)
//  - RAR, new style: "x.part1.rar", "x.part2.rar"... (the digits keep their count)
//  - RAR, old style: "x.rar", "x.r00"..."x.r99", "x.s00"...
//  - ZIP split: "x.z01", "x.z02"... and "x.zip" last
//  - ARJ: "x.arj", "x.a01"..."x.a99"
//  - CAB: each cabinet names the previous and the next one in its header.
// Used by the readers, which open the volumes that follow, and by the drop,
// which passes over later volumes. Paths in CP932; a name made keeps the
// letter case of the name it was made from.
#include <string>
#include <vector>

namespace arc {

// The volume that starts the set `path` belongs to, when `path` is a later
// volume by its name or (a cabinet) by its header; empty otherwise. For a
// cabinet it is the earliest one still found beside it.
std::string FirstVolumeName(const std::string& path);

// True for a later volume (FirstVolumeName not empty).
inline bool IsLaterVolume(const std::string& path) { return !FirstVolumeName(path).empty(); }

// The name of the volume that follows `path` in its set by the naming rules
// above (not cabinets, whose header names it; not the ZIP split, whose
// order ends at ".zip"); empty when the name takes part in no set.
std::string NextVolumeName(const std::string& path);

// The volumes of a ZIP split whose last volume is `zipPath` (".zip"):
// ".z01"... as far as they exist, then `zipPath`. Just `zipPath` when no
// ".z01" lies beside it.
std::vector<std::string> ZipSplitVolumes(const std::string& zipPath);

// What a cabinet's header says of its neighbours (names as stored, without
// a folder); empty when it has none or the file is no cabinet.
struct CabinetLinks {
  std::string previous, next;
};
CabinetLinks ReadCabinetLinks(const std::string& path);
// The same from the header's bytes (at least its first 36 bytes, with what
// follows up to the names), for tests and fuzzing.
CabinetLinks ParseCabinetLinks(const std::string& head);

}  // namespace arc
