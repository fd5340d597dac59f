#include "charts/csv_export.h"

#include "charts/column_text.h"
#include "platform/whole_file_write.h"

namespace {

int ColumnCount(const CsvOptions& options) {
  return options.hashColumns ? kColumnCountWithHashes : kChartColumnCount;
}

std::string ClassicText(const ChartList& list, const CsvOptions& options) {
  const int columns = ColumnCount(options);
  std::size_t size = 0;
  for (const ChartRow& row : list.Rows()) {
    size += 3 * static_cast<std::size_t>(columns) + 1;
    for (int c = 0; c < columns; ++c) size += row.ColumnText(c).size();
  }
  std::string out;
  out.reserve(size);
  for (const ChartRow& row : list.Rows()) {
    // Fields go out as they stand: a quote or comma inside one is not escaped.
    for (int c = 0; c < columns; ++c) {
      if (c > 0) out += ',';
      out += '"';
      out += row.ColumnText(c);
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

std::string Utf8Text(const ChartList& list, const CsvOptions& options) {
  const int columns = ColumnCount(options);
  std::string out = "\xEF\xBB\xBF";
  for (const ChartRow& row : list.Rows()) {
    for (int c = 0; c < columns; ++c) {
      if (c > 0) out += ',';
      // Every field quoted, so commas and line ends inside stay in it.
      out += '"';
      for (char ch : ColumnUtf8(row, c)) {
        if (ch == '"') out += '"';
        out += ch;
      }
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace

std::string ChartCsvText(const ChartList& list, const CsvOptions& options) {
  return options.format == CsvFormat::kUtf8 ? Utf8Text(list, options) : ClassicText(list, options);
}

void WriteChartCsv(const ChartList& list, const std::string& path, const CsvOptions& options) {
  platform::WriteWholeFile(path, ChartCsvText(list, options));
}
