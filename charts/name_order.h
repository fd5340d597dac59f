// SPDX-License-Identifier: MIT
#pragma once
// Order of the chart names of one archive: ascending, letter case ignored,
// in Japanese collation (the file list's sorted order).
#include <string>
#include <vector>

// Sorts CP932 names in place.
void SortNamesIgnoreCase(std::vector<std::string>& names);
