// SPDX-License-Identifier: MIT
#pragma once
// The program pretending to live in a scratch folder, so that its working
// folder and settings go there.
#include <string>

#include "platform/no_copy.h"

namespace test_support {

// While it lives, the executable's folder is `dir` (made if missing). With
// `buildLibraries` the archiver libraries are still loaded from the build's
// folder. When it goes, the current folder is "/" again (a drop makes the
// working folder current) and the truth is restored.
class ProgramFolder : NoCopy {
 public:
  ProgramFolder(const std::string& dir, bool buildLibraries);
  ~ProgramFolder();
};

}  // namespace test_support
