// SPDX-License-Identifier: MIT
#include "archivers/shared/reader_opener.h"

#include "archiver_api.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace arc {

void RequireRegularFile(const std::string& path) {
  // Missing, a folder, a FIFO or a device alike.
  if (!platform::RegularFileSize(path)) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
}

std::unique_ptr<ArchiveReader> OpenWithAny(const std::vector<ReaderOpener>& openers, const std::string& path) {
  RequireRegularFile(path);
  int code = ERROR_NOT_ARC_FILE;
  std::string why = "not an archive: " + path;
  for (ReaderOpener open : openers) {
    try {
      return open(path);
    } catch (const ArcError& e) {
      if (code != ERROR_ARC_FILE_OPEN) {
        code = e.Code();
        why = e.what();
      }
    }
  }
  throw ArcError(code, why);
}

}  // namespace arc
