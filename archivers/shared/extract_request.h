// SPDX-License-Identifier: MIT
#pragma once
// What a library's command line asks for, once its dialect is parsed.
#include <string>
#include <vector>

#include "archivers/shared/output_budget.h"

namespace arc {

// What a command does with the selected entries: write them, list them to
// the caller's output buffer, or decode them into nothing to test them.
enum class CommandKind { extract, list, test };

struct ExtractRequest {
  CommandKind kind = CommandKind::extract;
  std::string archive;               // CP932, as given
  std::string destDir;               // CP932; empty: the current folder
  std::vector<std::string> include;  // patterns; empty: every entry
  std::vector<std::string> exclude;  // patterns never extracted
  bool keepFolders = true;           // false: every file straight into destDir
  ExtractLimits limits;              // tests lower them to make small bombs
};

}  // namespace arc
