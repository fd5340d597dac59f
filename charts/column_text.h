#pragma once
// A column's text as characters (UTF-8), for the window and the UTF-8 CSV.
#include <string>

#include "charts/chart_row.h"

// Which encoding the header values are shown in.
enum class DisplayEncoding : int {
  kDetected = 0,  // each chart's own
  kCp932 = 1,     // always Shift-JIS, as the bytes were always shown
};

std::string ColumnUtf8(const ChartRow& row, int column, DisplayEncoding display = DisplayEncoding::kDetected);
