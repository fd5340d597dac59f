// SPDX-License-Identifier: MIT
#pragma once
// The CSV list file. Classic: thirteen double-quoted fields per row, commas
// between, CR LF after every line, no header, no escaping, bytes as the list
// holds them. UTF-8: a byte-order mark, every field as characters (header
// values decoded with their chart's encoding) and quoted with embedded
// quotes doubled, as spreadsheets read it. Either may add the two hash
// columns, then the facts columns.
#include <cstddef>
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "platform/paths.h"

enum class CsvFormat : int { kClassic = 0, kUtf8 = 1 };

struct CsvOptions {
  CsvFormat format = CsvFormat::kClassic;
  bool hashColumns = false;  // MD5 and SHA-256 after the thirteen
  bool factColumns = false;  // the facts after those (chart_facts.h)
  // Fields (UTF-8) put last on each line, one vector per list row: the
  // collection's lookups. UTF-8 form only; the classic form never has them.
  const std::vector<std::vector<std::string>>* trailingFields = nullptr;
};

// The exact bytes of the file for `list`.
std::string ChartCsvText(const ChartList& list, const CsvOptions& options = {});

// The lines the file would hold for the rows at `rows` (list indexes, taken
// in list order whatever order they are given in; indexes past the end are
// left out), without the UTF-8 byte-order mark: what the window copies to
// the clipboard.
std::string ChartCsvLines(const ChartList& list, std::vector<std::size_t> rows, const CsvOptions& options = {});

// Writes the file at `path` (CP932); throws platform::EInOutError. The file
// that was there before is replaced only once everything has been written.
void WriteChartCsv(const ChartList& list, const std::string& path, const CsvOptions& options = {});
// The same for a name exactly as the file system holds it.
void WriteChartCsv(const ChartList& list, const platform::FsPath& path, const CsvOptions& options = {});
