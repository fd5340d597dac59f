// SPDX-License-Identifier: MIT
#pragma once
// What tar32.dll reads: plain TAR, and TAR or a single file compressed with
// gzip, bzip2 or compress (.Z).
#include <string>

namespace arc {

// ARCHIVETYPE_* of archiver_api.h; ARCHIVETYPE_NONE for anything else,
// unreadable files included. Never throws.
int DetectTarArchiveType(const std::string& path);

// The name a single compressed file is extracted under: the name stored in
// the gzip header, else the archive's name without its compression suffix.
std::string SingleFileName(const std::string& archivePath, bool gzip);

}  // namespace arc
