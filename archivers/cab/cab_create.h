// SPDX-License-Identifier: MIT
#pragma once
// CAB32 -a: a new MSZIP cabinet of the selected files. The entries of an
// existing cabinet are kept (decompressed and packed again, since
// cabinets compress all entries as one stream); files of the same name
// replace them.
#include <string>

#include "archivers/shared/create_request.h"

namespace arc {

int RunCabCreate(const CreateRequest& req, std::string& message);

}  // namespace arc
