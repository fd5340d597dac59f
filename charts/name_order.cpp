// SPDX-License-Identifier: MIT
#include "charts/name_order.h"

#include <algorithm>

#include "charts/text_collator.h"

void SortNamesIgnoreCase(std::vector<std::string>& names) {
  const TextCollator& collator = TextCollator::JapaneseIgnoringCase();
  struct Keyed {
    std::string key;
    std::string name;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(names.size());
  for (auto& n : names) keyed.push_back({collator.SortKey(n), std::move(n)});
  // Names equal under the collation still get a fixed order: by bytes.
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    return a.key != b.key ? a.key < b.key : a.name < b.name;
  });
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].name);
}
