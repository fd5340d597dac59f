// SPDX-License-Identifier: MIT
#pragma once
// What the TAR folder gives the archiver libraries: its reader (path in
// CP932; ArcError when the file is not such an archive) and its command
// dialects.
#include <memory>
#include <string>

#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/creating_dialects.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenTarReader(const std::string& path);  // libarchive: tar, gz, bz2, Z, single files
int ParseTarCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req);  // tar32
int ParseTarCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req);  // tar32

}  // namespace arc
