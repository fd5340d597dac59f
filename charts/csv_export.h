#pragma once
// The CSV list file: thirteen double-quoted fields per row, commas between,
// CR LF after every line, no header, no escaping, bytes as the list holds them.
#include <string>

#include "charts/chart_list.h"
#include "platform/paths.h"

// The exact bytes of the file for `list`.
std::string ChartCsvText(const ChartList& list);

// Writes the file at `path` (CP932); throws platform::EInOutError. The file
// that was there before is replaced only once everything has been written.
void WriteChartCsv(const ChartList& list, const std::string& path);
// The same for a name exactly as the file system holds it.
void WriteChartCsv(const ChartList& list, const platform::FsPath& path);
