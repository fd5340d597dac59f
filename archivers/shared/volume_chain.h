// SPDX-License-Identifier: MIT
#pragma once
// The volumes of a split archive read end to end as one archive through
// libarchive's read callbacks: reads stop at a volume's end, seeks go
// anywhere in the whole.
#include <functional>
#include <string>
#include <vector>

struct archive;

namespace arc {

// Opens the volumes (CP932 paths), in order, as one archive with a handle
// prepared by `configure`. Throws ArcError like OpenLibarchive.
struct archive* OpenVolumeSet(const std::vector<std::string>& volumes,
                              const std::function<void(struct archive*)>& configure);

}  // namespace arc
