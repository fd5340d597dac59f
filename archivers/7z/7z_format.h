// SPDX-License-Identifier: MIT
#pragma once
// What the 7z folder gives the archiver libraries: its reader (path in
// CP932; ArcError when the file is not such an archive) and its command
// dialect.
#include <memory>
#include <string>
#include <vector>

#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dialects.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenSevenZipReader(const std::string& path);  // libarchive
int ParseSevenZipCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req);  // 7-ZIP32

}  // namespace arc
