// SPDX-License-Identifier: MIT
#include "tests/support/program_folder.h"

#include <filesystem>

#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace test_support {

ProgramFolder::ProgramFolder(const std::string& dir, bool buildLibraries) {
  // Taken before the first pretence: the folder the test executable and the
  // libraries were built into.
  static const std::string buildDir = platform::ExecutableDir();
  platform::OverrideExecutableDirForTesting(dir);
  std::filesystem::create_directories(dir);
  if (buildLibraries) platform::SetLibrarySearchDirForTesting(buildDir, false);
}

ProgramFolder::~ProgramFolder() {
  platform::SetCurrentDirectory("/");
  platform::OverrideExecutableDirForTesting("");
  platform::SetLibrarySearchDirForTesting("", false);
}

}  // namespace test_support
