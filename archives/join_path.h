// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

// Dir + Name with exactly the delimiter between them that Dir lacks; Name as
// given (a leading delimiter in it is kept). An empty Dir gives Name.
std::string JoinPath(std::string_view dir, std::string_view name);
