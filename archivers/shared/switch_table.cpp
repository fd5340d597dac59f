// SPDX-License-Identifier: MIT
#include "archivers/shared/switch_table.h"

#include <cstdlib>
#include <string>

namespace arc {

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool StartsWith(std::string_view s, std::string_view prefix, bool ignoreCase) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = s[i], b = prefix[i];
    if (ignoreCase ? Lower(a) != Lower(b) : a != b) return false;
  }
  return true;
}

bool IsNumber(std::string_view v) {
  if (!v.empty() && (v[0] == '-' || v[0] == '+')) v.remove_prefix(1);
  if (v.empty() || v.size() > 9) return false;
  for (char c : v)
    if (c < '0' || c > '9') return false;
  return true;
}
}  // namespace

const SwitchSpec* MatchSwitch(std::span<const SwitchSpec> table, std::string_view body, bool ignoreCase,
                              std::string_view& value) {
  const SwitchSpec* best = nullptr;
  for (const auto& entry : table) {
    if (!StartsWith(body, entry.name, ignoreCase)) continue;
    std::string_view rest = body.substr(entry.name.size());
    bool fits = entry.kind == SwitchKind::Text || (entry.kind == SwitchKind::Flag && rest.empty()) ||
                (entry.kind == SwitchKind::Number && (rest.empty() || IsNumber(rest)));
    if (fits && (!best || entry.name.size() > best->name.size())) {
      best = &entry;
      value = rest;
    }
  }
  return best;
}

int SwitchNumber(std::string_view value) {
  if (value.empty()) return 1;
  return std::atoi(std::string(value).c_str());
}

}  // namespace arc
