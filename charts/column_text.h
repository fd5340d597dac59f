// SPDX-License-Identifier: MIT
#pragma once
// A column's text as characters (UTF-8), for the window and the UTF-8 CSV.
#include <string>
#include <string_view>

#include "charts/chart_row.h"

// Which encoding the header values are shown in.
enum class DisplayEncoding : int {
  kDetected = 0,  // each chart's own
  kCp932 = 1,     // always Shift-JIS, as the bytes were always shown
};

std::string ColumnUtf8(const ChartRow& row, int column, DisplayEncoding display = DisplayEncoding::kDetected);

// `text` with its control characters made visible, each as "\xHH" (ESC as
// "\x1B"): the C0 controls and DEL, and in UTF-8 text the C1 controls too.
// Good for CP932 text as well (`utf8` false): none of its double-byte
// characters holds a byte below 0x40.
std::string EscapeControls(std::string_view text, bool utf8);

// What the list shows of a column, and the UTF-8 CSV holds: ColumnUtf8 with
// control characters escaped, so a name or title cannot move the cursor,
// end a line or colour a terminal. Editing starts from ColumnUtf8.
std::string ColumnDisplayText(const ChartRow& row, int column, DisplayEncoding display = DisplayEncoding::kDetected);
