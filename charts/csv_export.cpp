// SPDX-License-Identifier: MIT
#include "charts/csv_export.h"

#include <algorithm>

#include "charts/column_text.h"
#include "platform/profile.h"
#include "platform/whole_file_write.h"

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The row's columns the file holds, in file order.
std::vector<int> Columns(const CsvOptions& options) {
  std::vector<int> columns;
  for (int c = 0; c < kChartColumnCount; ++c) columns.push_back(c);
  if (options.hashColumns) columns.insert(columns.end(), {kMd5Column, kSha256Column});
  if (options.factColumns)
    for (int c = kFactsColumn; c < kColumnCountWithFacts; ++c) columns.push_back(c);
  return columns;
}

std::size_t ClassicLineSize(const ChartRow& row, const std::vector<int>& columns) {
  std::size_t size = 3 * columns.size() + 1;
  for (int c : columns) size += row.ColumnText(c).size();
  return size;
}

void AppendQuotedUtf8(std::string& out, std::string_view text) {
  out += '"';
  for (char ch : text) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

void AppendLine(std::string& out, const ChartList& list, std::size_t index, const std::vector<int>& columns,
                const CsvOptions& options) {
  const ChartRow& row = list.Row(index);
  bool first = true;
  for (int c : columns) {
    if (!first) out += ',';
    first = false;
    out += '"';
    if (options.format == CsvFormat::kClassic) {
      // Fields go out as they stand: a quote or comma inside one is not escaped.
      out += row.ColumnText(c);
    } else {
      // Every field quoted, so commas inside stay in it; control characters
      // escaped, as the list shows them.
      for (char ch : ColumnDisplayText(row, c)) {
        if (ch == '"') out += '"';
        out += ch;
      }
    }
    out += '"';
  }
  if (options.format == CsvFormat::kUtf8 && options.trailingFields && index < options.trailingFields->size()) {
    for (const std::string& field : (*options.trailingFields)[index]) {
      out += ',';
      AppendQuotedUtf8(out, field);
    }
  }
  out += "\r\n";
}

}  // namespace

std::string ChartCsvText(const ChartList& list, const CsvOptions& options) {
  std::string out;
  const std::vector<int> columns = Columns(options);
  if (options.format == CsvFormat::kUtf8) {
    out = kUtf8Mark;
  } else {
    std::size_t size = 0;
    for (const ChartRow& row : list.Rows()) size += ClassicLineSize(row, columns);
    out.reserve(size);
  }
  for (std::size_t i = 0; i < list.Count(); ++i) AppendLine(out, list, i, columns, options);
  return out;
}

std::string ChartCsvLines(const ChartList& list, std::vector<std::size_t> rows, const CsvOptions& options) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::string out;
  const std::vector<int> columns = Columns(options);
  for (std::size_t i : rows)
    if (i < list.Count()) AppendLine(out, list, i, columns, options);
  return out;
}

void WriteChartCsv(const ChartList& list, const std::string& path, const CsvOptions& options) {
  WriteChartCsv(list, platform::FsPath{platform::FsName(path)}, options);
}

void WriteChartCsv(const ChartList& list, const platform::FsPath& path, const CsvOptions& options) {
  // An export killed part-way left its temporary file beside the target.
  const std::size_t end = path.utf8.find_last_of(platform::kPathDelimiter == '/' ? "/" : "\\/:");
  platform::RemoveStaleProfileTemporaries(platform::FsPath{end == std::string::npos ? "." : path.utf8.substr(0, end + 1)});
  platform::WriteWholeFile(path, ChartCsvText(list, options));
}
