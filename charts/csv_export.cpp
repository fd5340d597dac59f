#include "charts/csv_export.h"

#include <algorithm>

#include "platform/whole_file_write.h"

namespace {

std::size_t LineSize(const ChartRow& row) {
  std::size_t size = row.caption.size() + 2 * kChartColumnCount + (kChartColumnCount - 1) + 2;
  for (const std::string& s : row.subItems) size += s.size();
  return size;
}

void AppendLine(std::string& out, const ChartRow& row) {
  // Fields go out as they stand: a quote or comma inside one is not escaped.
  out += '"';
  out += row.caption;
  out += '"';
  for (const std::string& s : row.subItems) {
    out += ",\"";
    out += s;
    out += '"';
  }
  out += "\r\n";
}

}  // namespace

std::string ChartCsvText(const ChartList& list) {
  std::size_t size = 0;
  for (const ChartRow& row : list.Rows()) size += LineSize(row);
  std::string out;
  out.reserve(size);
  for (const ChartRow& row : list.Rows()) AppendLine(out, row);
  return out;
}

std::string ChartCsvLines(const ChartList& list, std::vector<std::size_t> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::string out;
  for (std::size_t i : rows)
    if (i < list.Count()) AppendLine(out, list.Row(i));
  return out;
}

void WriteChartCsv(const ChartList& list, const std::string& path) {
  platform::WriteWholeFile(path, ChartCsvText(list));
}
