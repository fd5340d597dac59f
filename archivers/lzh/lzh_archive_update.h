// SPDX-License-Identifier: MIT
#pragma once
// Creating and changing LZH archives (UNLHA32 commands a, u, f, d).
#include <string>

#include "archivers/shared/create_request.h"

namespace arc {

// 0 or a result code; `message` receives a one-line summary. The archive
// is replaced only when the whole new archive was written.
int RunLzhCreate(const CreateRequest& req, std::string& message);

}  // namespace arc
