#pragma once
// CompareRows: the sort order of the list, a locale-aware text comparison
// of one column multiplied by the sort sign.
#include <memory>
#include <string>

#include "charts/chart_row.h"

// lstrcmpA stand-in: linguistic comparison of two CP932 texts in the user's
// locale; case distinguished (lower case first), digits as characters, the
// empty text first. Negative, zero or positive.
int CompareText(const std::string& a, const std::string& b);

// CompareRows(A, B, column) times the sort sign.
int CompareRows(const ChartRow& a, const ChartRow& b, int column, int sign);

// Sorting many rows compares each text many times; the comparer caches what
// it needs per text (collation keys) for one sort.
class RowComparer {
 public:
  RowComparer(int column, int sign);
  ~RowComparer();
  int operator()(const ChartRow& a, const ChartRow& b) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
