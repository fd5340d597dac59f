// SPDX-License-Identifier: MIT
#pragma once
// Creating and changing ZIP archives (the Zip entry of ZIP32J.DLL and
// LMZIP32.DLL): add, update, freshen, delete, and -A for self-extractors.
#include <string>

#include "archivers/shared/create_request.h"

namespace arc {

// 0 or a result code; `message` receives a one-line summary. The archive
// is replaced only when the whole new archive was written.
int RunZipCreate(const CreateRequest& req, std::string& message);

// -A: the ZIP archive appended to a stub in `exePath` gets offsets that
// count from the start of the file.
int AdjustZipSfx(const std::string& exePath, std::string& message);

}  // namespace arc
