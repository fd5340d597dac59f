// SPDX-License-Identifier: MIT
#include "library/chart_lookup.h"

#include <unordered_map>

#include "charts/column_text.h"
#include "library/library_index.h"
#include "platform/cp932.h"

namespace library {

RowLookup LookUpChart(LibraryIndex& index, const std::string& md5, const std::string& sha256,
                      const std::vector<std::string>& folders) {
  RowLookup look;
  if (md5.empty() && sha256.empty()) return look;
  look.library = EscapeControls(index.LibraryPath(md5, folders), true);
  std::string marks;
  for (const std::string& mark : index.TableMarks(md5, sha256)) {
    if (!marks.empty()) marks += ' ';
    marks += mark;
  }
  look.table = EscapeControls(marks, true);
  return look;
}

std::vector<std::size_t> EarlierRowsWithSameMd5(const ChartList& list) {
  std::vector<std::size_t> earlier(list.Count(), static_cast<std::size_t>(-1));
  std::unordered_map<std::string, std::size_t> firstRow;  // MD5 -> the earliest row holding it
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const std::string& md5 = list.Row(i).md5;
    if (md5.empty()) continue;
    const auto [at, added] = firstRow.emplace(md5, i);
    if (!added) earlier[i] = at->second;
  }
  return earlier;
}

std::string DuplicateText(const ChartList& list, std::size_t earlierRow) {
  if (earlierRow >= list.Count()) return {};
  // Names from the file system and the archive may hold control characters.
  return EscapeControls(ColumnUtf8(list.Row(earlierRow), siArcName + 1), true);
}

std::vector<RowLookup> LookUpRows(const ChartList& list, LibraryIndex* index, const std::vector<std::string>& folders) {
  std::vector<RowLookup> out(list.Count());
  const std::vector<std::size_t> earlier = EarlierRowsWithSameMd5(list);
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const ChartRow& row = list.Row(i);
    if (index) out[i] = LookUpChart(*index, row.md5, row.sha256, folders);
    out[i].duplicate = DuplicateText(list, earlier[i]);
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
