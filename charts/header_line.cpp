// ParseHeaderLine: the key table applied to one chart line.
#include <array>
#include <cstdint>

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

// Which keys a line can hold, by its second byte (the first is '#' for all):
// most chart lines are channel data ("#00111:...") that no key starts like,
// and they are turned away by one look-up.
using KeySet = std::uint16_t;
static_assert(std::size(kHeaderKeys) <= 16, "one bit per key");
constexpr bool AllKeysStartWithHash() {
  for (const HeaderKey& k : kHeaderKeys)
    if (k.key.size() < 2 || k.key[0] != '#') return false;
  return true;
}
static_assert(AllKeysStartWithHash(), "a line not starting with '#' is turned away unread");

constexpr std::array<KeySet, 256> KeysBySecondByte() {
  std::array<KeySet, 256> table{};
  for (std::size_t i = 0; i < std::size(kHeaderKeys); ++i) {
    const char c = kHeaderKeys[i].key[1];
    table[static_cast<unsigned char>(c)] |= static_cast<KeySet>(1u << i);
    if (c >= 'A' && c <= 'Z') table[static_cast<unsigned char>(c - 'A' + 'a')] |= static_cast<KeySet>(1u << i);
  }
  return table;
}
constexpr std::array<KeySet, 256> kKeysBySecondByte = KeysBySecondByte();

// Removes every byte of code 32 or less from both ends.
std::string_view TrimControls(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

}  // namespace

void ParseHeaderLine(ChartRow& row, std::string_view line) {
  if (line.size() < 2 || line[0] != '#') return;
  // The keys are tried in table order, as a line starting like two keys
  // would need (none of today's keys is the start of another).
  for (KeySet keys = kKeysBySecondByte[static_cast<unsigned char>(line[1])]; keys != 0; keys &= keys - 1) {
    const HeaderKey& k = kHeaderKeys[__builtin_ctz(keys)];
    if (!StartsWithKey(line, k.key)) continue;
    std::string& target = row.subItems[static_cast<std::size_t>(k.subItem)];
    if (k.mark)
      target = kChartMark;
    else
      target = TrimControls(line.substr(k.key.size(), kMaxValueBytes));
  }
}
