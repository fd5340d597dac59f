// SPDX-License-Identifier: MIT
#pragma once
// What the RAR folder gives the archiver libraries: its reader (path in
// CP932; ArcError when the file is not such an archive) and its command
// dialects.
#include <memory>
#include <string>

#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dialects.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenRarReader(const std::string& path);  // RAR 1.5-4 and, through OpenRar5Reader, RAR 5
std::unique_ptr<ArchiveReader> OpenRar5Reader(const std::string& path);  // libarchive
int ParseRarCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req);  // UNRAR32

}  // namespace arc
