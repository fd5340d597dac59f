// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "archives/archiver_type.h"

// The archive type of a file: by its last extension, or, for ".exe" (maybe
// a self-extractor), by asking every archiver library whether it can open
// the file; "x.7z.001" as "x.7z" when its library opens it whole. Returns
// atNone when nothing matches; never raises.
TArchiverType DetectArchiverType(const std::string& fileName, bool byExtension = true);

// The extensions DetectArchiverType knows (".lzh", ".zip", ...), lower case.
std::vector<std::string> ArchiveExtensions();
