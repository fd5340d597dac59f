// SPDX-License-Identifier: MIT
#pragma once
// The formats a library accepts: openers tried in order; the first that
// recognises the file wins.
#include <memory>
#include <string>
#include <vector>

#include "archivers/shared/archive_reader.h"

namespace arc {

using ReaderOpener = std::unique_ptr<ArchiveReader> (*)(const std::string& path);

// Throws ERROR_ARC_FILE_OPEN unless `path` (CP932) names a regular file: a
// FIFO or device would block the readers or never end.
void RequireRegularFile(const std::string& path);

// Checks the path is a regular file, then tries the openers. Throws the
// first opener's ArcError when none recognises the file
// (ERROR_ARC_FILE_OPEN wins over ERROR_NOT_ARC_FILE).
std::unique_ptr<ArchiveReader> OpenWithAny(const std::vector<ReaderOpener>& openers, const std::string& path);

}  // namespace arc
