#include "charts/row_compare.h"

#include <algorithm>
#include <numeric>

#include "charts/text_collator.h"

int CompareText(const std::string& a, const std::string& b) { return TextCollator::Japanese().Compare(a, b); }

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

std::vector<std::size_t> RowComparer::Order(const std::vector<ChartRow>& rows) const {
  const TextCollator& collator = TextCollator::Japanese();
  std::vector<std::string> keys;
  keys.reserve(rows.size());
  for (const ChartRow& row : rows) keys.push_back(collator.SortKey(row.ColumnText(impl_->column)));
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const int sign = impl_->sign;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    int r = keys[a].compare(keys[b]);
    return (r < 0 ? -sign : r > 0 ? sign : 0) < 0;
  });
  return order;
}
