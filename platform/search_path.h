// SPDX-License-Identifier: MIT
#pragma once
// SearchPathA without a path argument: the system's file search order.
#include <string>
#include <string_view>

namespace platform {

// Looks for the file `name` (CP932) in the executable's folder, then the
// current folder, then each folder of PATH. Returns the full path of the
// first regular file found, or "" when there is none.
std::string SearchPath(std::string_view name);

}  // namespace platform
