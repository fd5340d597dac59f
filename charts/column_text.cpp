#include "charts/column_text.h"

std::string ColumnUtf8(const ChartRow& row, int column, DisplayEncoding display) {
  platform::TextEncoding encoding =
      display == DisplayEncoding::kDetected ? row.ColumnEncoding(column) : platform::TextEncoding::kCp932;
  return platform::DecodeToUtf8(encoding, row.ColumnText(column));
}
