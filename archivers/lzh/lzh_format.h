// SPDX-License-Identifier: MIT
#pragma once
// What the LZH folder gives the archiver libraries: its reader (path in
// CP932; ArcError when the file is not such an archive) and its command
// dialects.
#include <memory>
#include <string>

#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/creating_dialects.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenLzhReader(const std::string& path);  // liblhasa
int ParseLhaCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req);  // UNLHA32, UNARJ32J
int ParseLhaCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req);  // UNLHA32

}  // namespace arc
