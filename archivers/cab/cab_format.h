// SPDX-License-Identifier: MIT
#pragma once
// What the CAB folder gives the archiver libraries: its reader (path in
// CP932; ArcError when the file is not such an archive) and its command
// dialects.
#include <memory>
#include <string>

#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/creating_dialects.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenCabReader(const std::string& path);  // libmspack
int ParseCabCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req);  // CAB32
int ParseCabCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req);  // CAB32

}  // namespace arc
