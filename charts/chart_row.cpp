#include "charts/chart_row.h"

const std::string& ChartRow::ColumnText(int column) const {
  if (static_cast<unsigned>(column - 1) > 11u) return caption;
  return subItems[static_cast<std::size_t>(column - 1)];
}
