// SPDX-License-Identifier: MIT
#pragma once
// The list of chart rows the main window shows: append-only, sortable by a
// column with one sort sign for the whole list. Plain C++; the window shows
// it through a Qt model that listens as an observer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include <algorithm>

#include "charts/chart_row.h"

class ChartListObserver {
 public:
  virtual ~ChartListObserver() = default;
  virtual void RowAppended(std::size_t index) = 0;
  virtual void RowChanged(std::size_t index) = 0;  // texts of one row changed
  virtual void RowsReordered() = 0;
  // Rows were removed or the list emptied: everything may have moved.
  virtual void ListReset() {}
};

class ChartList {
 public:
  std::size_t Count() const { return rows_.size(); }
  const ChartRow& Row(std::size_t i) const { return rows_[i]; }
  const std::vector<ChartRow>& Rows() const { return rows_; }

  // Appends a row with an empty caption and twelve empty sub-items at the
  // end (a previous sort does not place it); returns its index.
  std::size_t Append();
  // Changes one row and tells the observer.
  void SetCaption(std::size_t i, std::string text);
  void SetSubItem(std::size_t i, int subItem, std::string text);
  void SetChecked(std::size_t i, bool checked);
  // Replaces a whole row (the header reader fills a copy, then stores it).
  void SetRow(std::size_t i, ChartRow row);
  // Appends a whole row (a list read back from CSV); returns its index.
  std::size_t AppendRow(ChartRow row);

  // The check boxes of every row at once.
  void CheckAll(bool checked);
  void InvertChecks();
  // Removes the rows for which `remove` holds; the rest keep their order.
  // Returns how many went.
  template <typename Predicate>
  std::size_t RemoveRows(Predicate remove) {
    const std::size_t before = rows_.size();
    std::erase_if(rows_, remove);
    if (rows_.size() == before) return 0;
    ++revision_;
    if (observer_) observer_->ListReset();
    return before - rows_.size();
  }
  void Clear() { RemoveRows([](const ChartRow&) { return true; }); }

  // The list's Tag: the sort sign, -1 at start.
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // The header click: negate the sort sign, then sort every row by the
  // column with CompareRows (stable: equal rows keep their order).
  void ColumnClick(int column);
  // Sorts with the current sign without negating it.
  void Sort(int column);
  // The header click on a column the rows do not hold (worked out for the
  // list): negate the sort sign, then sort by `keys` (UTF-8, one per row) in
  // the list's Japanese order, stable. Keys of another count change nothing.
  void ColumnClickByKeys(const std::vector<std::string>& keys);
  // Number columns (難易度, Player, BPM) sorted by the value they start
  // with instead of as text; off by default.
  void SetNumericSort(bool on) { numericSort_ = on; }
  bool NumericSort() const { return numericSort_; }

  void SetObserver(ChartListObserver* observer) { observer_ = observer; }

  // Changes whenever rows are added, replaced, removed or reordered, or a
  // sub-item changes (captions and checks leave it): what is worked out
  // from rows and their order can tell it is out of date.
  std::uint64_t Revision() const { return revision_; }

 private:
  std::vector<ChartRow> rows_;
  int tag_ = -1;
  bool numericSort_ = false;
  std::uint64_t revision_ = 0;
  ChartListObserver* observer_ = nullptr;
};
