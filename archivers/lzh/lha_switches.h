#pragma once
// The switches of the LHA command syntax, shared by its extracting and
// creating commands. Every switch the LHA command builder can send is in
// the table; each command decides which effects it honours.
#include <span>

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

}  // namespace arc
