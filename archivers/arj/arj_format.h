// SPDX-License-Identifier: MIT
#pragma once
// What the ARJ folder gives the archiver libraries: its reader (path in
// CP932; ArcError when the file is not such an archive) and its command
// dialects.
#include <memory>
#include <string>

#include "archivers/shared/archive_reader.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenArjReader(const std::string& path);  // our own decoder

}  // namespace arc
