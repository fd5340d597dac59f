// SPDX-License-Identifier: MIT
#include "charts/chart_extensions.h"

#include <algorithm>

#include "platform/cp932.h"

std::vector<std::string> ClassicChartExtensions() { return {"bms"}; }

std::vector<std::string> AllChartExtensions() {
  return std::vector<std::string>(kKnownChartExtensions.begin(), kKnownChartExtensions.end());
}

bool ParseChartExtensions(std::string_view list, std::vector<std::string>& out, std::string& bad) {
  out.clear();
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = list.find(',', start);
    std::string item = platform::AsciiLower(list.substr(start, comma == std::string_view::npos ? list.npos : comma - start));
    if (!item.empty() && item[0] == '.') item.erase(0, 1);  // ".bme" means "bme"
    bool known = std::find(kKnownChartExtensions.begin(), kKnownChartExtensions.end(), item) != kKnownChartExtensions.end();
    if (!known) {
      bad = item;
      return false;
    }
    if (std::find(out.begin(), out.end(), item) == out.end()) out.push_back(item);
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}
