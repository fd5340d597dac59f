// TEMPORARY byte comparison until the collation-based comparison lands.
#include "charts/row_compare.h"

int CompareText(const std::string& a, const std::string& b) { return a.compare(b) < 0 ? -1 : a == b ? 0 : 1; }

int CompareRows(const ChartRow& a, const ChartRow& b, int column, int sign) {
  return CompareText(a.ColumnText(column), b.ColumnText(column)) * sign;
}

struct RowComparer::Impl {
  int column, sign;
};
RowComparer::RowComparer(int column, int sign) : impl_(new Impl{column, sign}) {}
RowComparer::~RowComparer() = default;
int RowComparer::operator()(const ChartRow& a, const ChartRow& b) const {
  return CompareRows(a, b, impl_->column, impl_->sign);
}
