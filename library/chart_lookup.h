// SPDX-License-Identifier: MIT
#pragma once
// What the collection knows of each row of a list: the columns Library,
// Table and Duplicate, as UTF-8 text.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "charts/chart_list.h"

namespace library {

class LibraryIndex;

inline constexpr std::array<const char*, 3> kLookupCaptions = {"Library", "Table", "Duplicate"};

struct RowLookup {
  std::string library;    // relative path of a library chart with the same MD5
  std::string table;      // "★12 ◆3": symbol and level of each table listing it
  std::string duplicate;  // archive name of an earlier row with the same MD5
};

// One per row of `list`, in list order. `index` may be null (only Duplicate
// is filled then); `folders` are the library folders to look in, in order.
// Rows without hashes get empty columns.
std::vector<RowLookup> LookUpRows(const ChartList& list, LibraryIndex* index, const std::vector<std::string>& folders);

// The parts, for a window that works them out row by row as it draws:
// Library and Table of a chart with these hashes (Duplicate left empty),
RowLookup LookUpChart(LibraryIndex& index, const std::string& md5, const std::string& sha256,
                      const std::vector<std::string>& folders);
// for each row of `list` the earlier row with the same MD5 (npos when none),
std::vector<std::size_t> EarlierRowsWithSameMd5(const ChartList& list);
// and the Duplicate text naming that row.
std::string DuplicateText(const ChartList& list, std::size_t earlierRow);

// The same as fields per row, in caption order, for the CSV.
std::vector<std::vector<std::string>> LookupFields(const std::vector<RowLookup>& rows);

}  // namespace library
