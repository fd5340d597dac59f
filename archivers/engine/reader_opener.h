#pragma once
// The formats a library accepts: openers tried in order; the first that
// recognises the file wins.
#include <memory>
#include <string>
#include <vector>

#include "archivers/engine/archive_reader.h"

namespace arc {

using ReaderOpener = std::unique_ptr<ArchiveReader> (*)(const std::string& path);

// Throws the first opener's ArcError when none recognises the file
// (ERROR_ARC_FILE_OPEN wins over ERROR_NOT_ARC_FILE).
std::unique_ptr<ArchiveReader> OpenWithAny(const std::vector<ReaderOpener>& openers, const std::string& path);

}  // namespace arc
