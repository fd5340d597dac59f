#include "charts/chart_list.h"

#include <algorithm>

#include "charts/row_compare.h"

std::size_t ChartList::Append() {
  rows_.emplace_back();
  std::size_t i = rows_.size() - 1;
  if (observer_) observer_->RowAppended(i);
  return i;
}

void ChartList::SetCaption(std::size_t i, std::string text) {
  rows_.at(i).caption = std::move(text);
  if (observer_) observer_->RowChanged(i);
}

void ChartList::SetSubItem(std::size_t i, int subItem, std::string text) {
  rows_.at(i).subItems.at(static_cast<std::size_t>(subItem)) = std::move(text);
  if (observer_) observer_->RowChanged(i);
}

void ChartList::SetChecked(std::size_t i, bool checked) {
  rows_.at(i).checked = checked;
  if (observer_) observer_->RowChanged(i);
}

void ChartList::SetRow(std::size_t i, ChartRow row) {
  rows_.at(i) = std::move(row);
  if (observer_) observer_->RowChanged(i);
}

void ChartList::ColumnClick(int column) {
  tag_ = -tag_;
  Sort(column);
}

void ChartList::Sort(int column) {
  RowComparer compare(column, tag_);
  std::stable_sort(rows_.begin(), rows_.end(),
                   [&](const ChartRow& a, const ChartRow& b) { return compare(a, b) < 0; });
  if (observer_) observer_->RowsReordered();
}
