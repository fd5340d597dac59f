// SPDX-License-Identifier: MIT
#pragma once
// Reading back a list this program exported, so a collector can keep a
// catalogue across runs: the classic form (CP932 fields, each quoted, no
// escaping) or the UTF-8 form (byte-order mark, fields quoted with quotes
// doubled), with or without the columns that follow the thirteen.
#include <string>
#include <vector>

#include "charts/chart_row.h"

// The rows of `bytes`. False, with `error` saying why (UTF-8) and no rows,
// when the text is no such list: a line that is not quoted fields, fewer
// than thirteen fields, or no line at all.
bool ReadChartCsv(const std::string& bytes, std::vector<ChartRow>& rows, std::string& error);
