// SPDX-License-Identifier: MIT
// ParseHeaderLine: the key table applied to one chart line.
#include "charts/chart_reader.h"
#include "charts/header_keys.h"

namespace {

// The key at the very start of the line, ASCII letters of the line taken as
// upper case; every other byte must match exactly.
bool StartsWithKey(std::string_view line, std::string_view key) {
  if (line.size() < key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    char c = line[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != key[i]) return false;
  }
  return true;
}

// Removes every byte of code 32 or less from both ends.
std::string_view TrimControls(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

}  // namespace

void ParseHeaderLine(ChartRow& row, std::string_view line) {
  // The keys are tried in table order, as a line starting like two keys
  // would need (none of today's keys is the start of another).
  for (HeaderKeySet keys = KeysStartingLike(line); keys != 0; keys &= keys - 1) {
    const HeaderKey& k = kHeaderKeys[__builtin_ctz(keys)];
    if (!StartsWithKey(line, k.key)) continue;
    std::string& target = row.subItems[static_cast<std::size_t>(k.subItem)];
    if (k.mark)
      target = kChartMark;
    else
      target = TrimControls(line.substr(k.key.size(), kMaxValueBytes));
  }
}
