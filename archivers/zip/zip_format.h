// SPDX-License-Identifier: MIT
#pragma once
// What the ZIP folder gives the archiver libraries: its reader (path in
// CP932; ArcError when the file is not such an archive) and its command
// dialects.
#include <memory>
#include <string>

#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/creating_dialects.h"
#include "archivers/shared/file_patterns.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenZipReader(const std::string& path);  // libarchive
// The chosen entries read into memory from the central directory (see
// library_extract_mem.h); NotServedHere when it cannot serve them all.
std::unique_ptr<ArchiveReader> OpenZipMemoryReader(const std::string& path, const EntrySelection& chosen);
int ParseZipCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req);  // UNZIP32, LMZIP32
int ParseZipCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req);  // Zip of ZIP32J, LMZIP32

}  // namespace arc
