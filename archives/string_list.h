// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

// An ordered list of CP932 strings; operations take a pointer where the list
// may be absent (nullptr).
using TStringList = std::vector<std::string>;
