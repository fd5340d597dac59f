// SPDX-License-Identifier: MIT
#include "library/chart_lookup.h"

#include <unordered_map>

#include "charts/column_text.h"
#include "library/library_index.h"
#include "platform/cp932.h"

namespace library {

std::vector<RowLookup> LookUpRows(const ChartList& list, LibraryIndex* index, const std::vector<std::string>& folders) {
  std::vector<RowLookup> out(list.Count());
  std::unordered_map<std::string, std::size_t> firstRow;  // MD5 -> the earliest row holding it
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const ChartRow& row = list.Row(i);
    if (row.md5.empty() && row.sha256.empty()) continue;
    RowLookup& look = out[i];
    if (!row.md5.empty()) {
      const auto [at, added] = firstRow.emplace(row.md5, i);
      // Names from the file system and the archive may hold control characters.
      if (!added) look.duplicate = EscapeControls(ColumnUtf8(list.Row(at->second), siArcName + 1), true);
    }
    if (!index) continue;
    look.library = EscapeControls(index->LibraryPath(row.md5, folders), true);
    std::string marks;
    for (const std::string& mark : index->TableMarks(row.md5, row.sha256)) {
      if (!marks.empty()) marks += ' ';
      marks += mark;
    }
    look.table = EscapeControls(marks, true);
  }
  return out;
}

std::vector<std::vector<std::string>> LookupFields(const std::vector<RowLookup>& rows) {
  std::vector<std::vector<std::string>> out;
  out.reserve(rows.size());
  for (const RowLookup& r : rows) out.push_back({r.library, r.table, r.duplicate});
  return out;
}

}  // namespace library
