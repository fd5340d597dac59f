// SPDX-License-Identifier: MIT
#include "charts/row_compare.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>

#include "charts/text_collator.h"

int CompareText(const std::string& a, const std::string& b) { return TextCollator::Japanese().Compare(a, b); }

namespace {

// A column's sort key: its CP932 text, or for header values in another
// encoding the characters they stand for, so a UTF-8 or Korean title sorts
// where it reads, in both windows alike.
std::string ColumnSortKey(const TextCollator& collator, const ChartRow& row, int column) {
  const platform::TextEncoding encoding = row.ColumnEncoding(column);
  if (encoding == platform::TextEncoding::kCp932) return collator.SortKey(row.ColumnText(column));
  return collator.SortKeyUtf8(platform::DecodeToUtf8(encoding, row.ColumnText(column)));
}

}  // namespace

int CompareRows(const ChartRow& a, const ChartRow& b, int column, int sign) {
  if (a.ColumnEncoding(column) == platform::TextEncoding::kCp932 &&
      b.ColumnEncoding(column) == platform::TextEncoding::kCp932)
    return CompareText(a.ColumnText(column), b.ColumnText(column)) * sign;
  const TextCollator& collator = TextCollator::Japanese();
  const int r = ColumnSortKey(collator, a, column).compare(ColumnSortKey(collator, b, column));
  return (r < 0 ? -1 : r > 0 ? 1 : 0) * sign;
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
  for (const ChartRow& row : rows) keys.push_back(ColumnSortKey(collator, row, impl_->column));
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const int sign = impl_->sign;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    int r = keys[a].compare(keys[b]);
    return (r < 0 ? -sign : r > 0 ? sign : 0) < 0;
  });
  return order;
}

bool IsNumberColumn(int column) {
  switch (column - kFactsColumn) {
    case fcNotes:
    case fcTotal:
    case fcBpmMin:
    case fcBpmMax:
    case fcMissing:
      return true;
    default:
      break;
  }
  return column == siDifficulty + 1 || column == siPlayer + 1 || column == siBpm + 1;
}

namespace {

// The number a text starts with: "12", " 7.5", "150 (180)"; none for "",
// "?" or "★3". Only plain decimals: a header value like "1e9" is no
// exponent but 1.
std::optional<double> LeadingNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return std::nullopt;
  std::size_t j = i;
  if (text[j] == '-' || text[j] == '+') ++j;
  std::size_t digits = j;
  while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
  if (j < text.size() && text[j] == '.') {
    ++j;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
  }
  if (j == digits || (j == digits + 1 && text[digits] == '.')) return std::nullopt;
  return std::strtod(std::string(text, i, j - i).c_str(), nullptr);
}

}  // namespace

std::vector<std::size_t> NumericOrder(const std::vector<ChartRow>& rows, int column, int sign) {
  std::vector<std::optional<double>> values;
  values.reserve(rows.size());
  for (const ChartRow& row : rows) values.push_back(LeadingNumber(row.ColumnText(column)));
  // Texts without a number are ordered among themselves as text.
  const std::vector<std::size_t> byText = RowComparer(column, 1).Order(rows);
  std::vector<std::size_t> textRank(rows.size());
  for (std::size_t r = 0; r < byText.size(); ++r) {
    // Equal texts share a rank, so they keep their order either way.
    const bool same = r > 0 && rows[byText[r]].ColumnText(column) == rows[byText[r - 1]].ColumnText(column);
    textRank[byText[r]] = same ? textRank[byText[r - 1]] : r;
  }
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  auto compare = [&](std::size_t a, std::size_t b) {
    const auto& va = values[a];
    const auto& vb = values[b];
    if (va && vb) return *va < *vb ? -1 : *va > *vb ? 1 : 0;
    if (va || vb) return va ? -1 : 1;
    return textRank[a] < textRank[b] ? -1 : textRank[a] > textRank[b] ? 1 : 0;
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return compare(a, b) * sign < 0; });
  return order;
}
