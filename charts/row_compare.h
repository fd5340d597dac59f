// SPDX-License-Identifier: MIT
#pragma once
// CompareRows: the sort order of the list, a linguistic text comparison
// of one column multiplied by the sort sign.
#include <memory>
#include <string>
#include <vector>

#include "charts/chart_row.h"

// lstrcmpA stand-in: linguistic comparison of two CP932 texts in Japanese
// order (TextCollator); case distinguished (lower case first), digits as
// characters, the empty text first. Negative, zero or positive.
int CompareText(const std::string& a, const std::string& b);

// CompareRows(A, B, column) times the sort sign.
int CompareRows(const ChartRow& a, const ChartRow& b, int column, int sign);

// CompareRows for one column and sign. Sorting many rows compares each text
// many times, so Order collates every text once (a sort key per row).
class RowComparer {
 public:
  RowComparer(int column, int sign);
  ~RowComparer();
  int operator()(const ChartRow& a, const ChartRow& b) const;
  // The order CompareRows gives `rows`, as indexes into it; rows that
  // compare equal keep their order.
  std::vector<std::size_t> Order(const std::vector<ChartRow>& rows) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// 難易度, Player, BPM and the facts' counts and tempos: the columns that
// hold numbers.
bool IsNumberColumn(int column);

// The order of `rows` by the number `column`'s text starts with (after
// spaces), times the sign: texts without one after every number, in text
// order; equal values keep their order.
std::vector<std::size_t> NumericOrder(const std::vector<ChartRow>& rows, int column, int sign);
