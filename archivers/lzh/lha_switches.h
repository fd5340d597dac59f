// SPDX-License-Identifier: MIT
#pragma once
// The switches of the LHA command syntax, shared by its extracting and
// creating commands. Every switch the LHA command builder can send is in
// the table; each command decides which effects it honours.
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "archivers/shared/dialects.h"
#include "archivers/shared/switch_table.h"

namespace arc {

enum LhaSwitchEffect {
  kLhaIgnore,
  kLhaFolders,     // -x#: keep (1) or drop (0) folders
  kLhaExclude,     // -jx<pattern>
  kLhaRecurse,     // -r#: search subfolders (creation)
  kLhaAttributes,  // -a#: also take hidden files (creation)
};

std::span<const SwitchSpec> LhaSwitches();

// The words after an LHA command word: switches of the table (handed to
// `onSwitch` with their value) up to the first other word, a lone "-"
// passed over, then the positional words for `args`. 0, ERROR_COMMAND_NAME
// for a switch not in the table, or what `args` refuses a word with.
int ReadLhaWords(const std::vector<CmdToken>& tokens, PositionalArgs& args,
                 const std::function<void(LhaSwitchEffect effect, std::string_view value)>& onSwitch);

}  // namespace arc
