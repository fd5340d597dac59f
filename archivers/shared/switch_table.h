// SPDX-License-Identifier: MIT
#pragma once
// Table-driven switch recognition shared by the command dialects.
#include <span>
#include <string_view>

namespace arc {

enum class SwitchKind {
  Flag,    // the name alone: "-j"
  Number,  // the name, then an optional signed decimal: "-x0", "-x", "-z9"
  Text,    // the name, then any text: "-jx*.txt", "-wC:/tmp/"
};

struct SwitchSpec {
  std::string_view name;  // without the leading "-"
  SwitchKind kind;
  int effect;             // the dialect's own meaning
};

// Finds the entry that `body` (a switch without its leading "-") fits,
// trying longer names first; nullptr when none fits. `value` receives the
// text after the name.
const SwitchSpec* MatchSwitch(std::span<const SwitchSpec> table, std::string_view body, bool ignoreCase,
                              std::string_view& value);

// The number of a Number switch: 1 when absent (a bare "-x" means on).
int SwitchNumber(std::string_view value);

}  // namespace arc
