#include "charts/csv_export.h"

#include "platform/whole_file_write.h"

std::string ChartCsvText(const ChartList& list) {
  std::size_t size = 0;
  for (const ChartRow& row : list.Rows()) {
    size += row.caption.size() + 2 * kChartColumnCount + (kChartColumnCount - 1) + 2;
    for (const std::string& s : row.subItems) size += s.size();
  }
  std::string out;
  out.reserve(size);
  for (const ChartRow& row : list.Rows()) {
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
  return out;
}

void WriteChartCsv(const ChartList& list, const std::string& path) {
  platform::WriteWholeFile(path, ChartCsvText(list));
}

void WriteChartCsv(const ChartList& list, const platform::FsPath& path) {
  platform::WriteWholeFile(path, ChartCsvText(list));
}
