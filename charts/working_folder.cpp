#include "charts/working_folder.h"

#include "platform/files.h"
#include "platform/paths.h"

std::string WorkingFolderForUnpacking() { return platform::WorkParentDir() + "work"; }

std::string WorkingFolderForListing() { return WorkingFolderForUnpacking() + platform::kPathDelimiter; }

void CreateWorkingFolder() {
  std::string parent = platform::WorkParentDir();
  // Beside the executable the parent exists; the XDG cache folder may not.
  if (!platform::DirectoryExists(parent)) platform::ForceDirectories(parent);
  platform::CreateDirectory(WorkingFolderForUnpacking());
}
