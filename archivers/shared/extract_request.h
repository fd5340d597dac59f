// SPDX-License-Identifier: MIT
#pragma once
// What a library's command line asks for, once its dialect is parsed.
#include <string>
#include <vector>

#include "archivers/shared/output_budget.h"

namespace arc {

struct ExtractRequest {
  std::string archive;               // CP932, as given
  std::string destDir;               // CP932; empty: the current folder
  std::vector<std::string> include;  // patterns; empty: every entry
  std::vector<std::string> exclude;  // patterns never extracted
  bool keepFolders = true;           // false: every file straight into destDir
  ExtractLimits limits;              // tests lower them to make small bombs
};

}  // namespace arc
