// SPDX-License-Identifier: MIT
#include "charts/chart_list.h"

#include "charts/row_compare.h"
#include "charts/text_collator.h"

std::size_t ChartList::Append() {
  rows_.emplace_back();
  ++revision_;
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
  ++revision_;
  if (observer_) observer_->RowChanged(i);
}

void ChartList::SetChecked(std::size_t i, bool checked) {
  rows_.at(i).checked = checked;
  if (observer_) observer_->RowChanged(i);
}

void ChartList::SetRow(std::size_t i, ChartRow row) {
  rows_.at(i) = std::move(row);
  ++revision_;
  if (observer_) observer_->RowChanged(i);
}

void ChartList::ColumnClick(int column) {
  tag_ = -tag_;
  Sort(column);
}

void ChartList::Sort(int column) {
  std::vector<std::size_t> order = numericSort_ && IsNumberColumn(column) ? NumericOrder(rows_, column, tag_)
                                                                          : RowComparer(column, tag_).Order(rows_);
  std::vector<ChartRow> sorted;
  sorted.reserve(rows_.size());
  for (std::size_t i : order) sorted.push_back(std::move(rows_[i]));
  rows_.swap(sorted);
  ++revision_;
  if (observer_) observer_->RowsReordered();
}

void ChartList::ColumnClickByKeys(const std::vector<std::string>& keys) {
  if (keys.size() != rows_.size()) return;
  tag_ = -tag_;
  std::vector<std::string> sortKeys;
  sortKeys.reserve(keys.size());
  for (const std::string& key : keys) sortKeys.push_back(TextCollator::Japanese().SortKeyUtf8(key));
  std::vector<std::size_t> order(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return tag_ > 0 ? sortKeys[a] < sortKeys[b] : sortKeys[b] < sortKeys[a];
  });
  std::vector<ChartRow> sorted;
  sorted.reserve(rows_.size());
  for (std::size_t i : order) sorted.push_back(std::move(rows_[i]));
  rows_.swap(sorted);
  ++revision_;
  if (observer_) observer_->RowsReordered();
}

std::size_t ChartList::AppendRow(ChartRow row) {
  rows_.push_back(std::move(row));
  ++revision_;
  if (observer_) observer_->RowAppended(rows_.size() - 1);
  return rows_.size() - 1;
}

void ChartList::CheckAll(bool checked) {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].checked != checked) SetChecked(i, checked);
}

void ChartList::InvertChecks() {
  for (std::size_t i = 0; i < rows_.size(); ++i) SetChecked(i, !rows_[i].checked);
}
