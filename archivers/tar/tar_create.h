// SPDX-License-Identifier: MIT
#pragma once
// Creating TAR archives, plain or compressed with gzip or bzip2 (tar32
// command c), through libarchive. Names are code page 932 where CP932 can
// hold them and UTF-8 otherwise (the TAR reader tells the two apart).
#include <string>

#include "archivers/shared/create_request.h"

namespace arc {

// 0 or a result code; `message` receives a one-line summary. An existing
// archive is replaced only once the new one is complete.
int RunTarCreate(const CreateRequest& req, std::string& message);

}  // namespace arc
