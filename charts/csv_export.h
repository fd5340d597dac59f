#pragma once
// The CSV list file: thirteen double-quoted fields per row, commas between,
// CR LF after every line, no header, no escaping, bytes as the list holds them.
#include <cstddef>
#include <string>
#include <vector>

#include "charts/chart_list.h"

// The exact bytes of the file for `list`.
std::string ChartCsvText(const ChartList& list);

// The lines the file would hold for the rows at `rows` (list indexes, taken
// in list order whatever order they are given in; indexes past the end are
// left out): what the window copies to the clipboard.
std::string ChartCsvLines(const ChartList& list, std::vector<std::size_t> rows);

// Writes the file at `path` (CP932); throws platform::EInOutError. The file
// that was there before is replaced only once everything has been written.
void WriteChartCsv(const ChartList& list, const std::string& path);
