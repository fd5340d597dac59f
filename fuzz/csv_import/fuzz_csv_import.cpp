// SPDX-License-Identifier: MIT
// Any bytes as a list to read back. What the reader accepts in the UTF-8
// form must come back the same when written in that form and read again:
// no field may be cut, joined or moved by the quoting.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "charts/chart_list.h"
#include "charts/csv_export.h"
#include "charts/csv_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<ChartRow> rows;
  std::string error;
  if (!ReadChartCsv(bytes, rows, error)) {
    if (!rows.empty() || error.empty()) {
      std::fprintf(stderr, "a refused list must add nothing and say why\n");
      std::abort();
    }
    return 0;
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") != 0) return 0;  // the classic form has no escaping to check
  ChartList list;
  for (const ChartRow& row : rows) list.AppendRow(row);
  const CsvOptions utf8{CsvFormat::kUtf8, false};
  const std::string written = ChartCsvText(list, utf8);
  std::vector<ChartRow> again;
  if (!ReadChartCsv(written, again, error) || again.size() != rows.size()) {
    std::fprintf(stderr, "a list written back does not read again: %s\n", error.c_str());
    std::abort();
  }
  ChartList second;
  for (const ChartRow& row : again) second.AppendRow(row);
  if (ChartCsvText(second, utf8) != written) {
    std::fprintf(stderr, "reading and writing changed the list\n");
    std::abort();
  }
  return 0;
}
