#include "archivers/engine/reader_opener.h"

#include "archiver_api.h"

namespace arc {

std::unique_ptr<ArchiveReader> OpenWithAny(const std::vector<ReaderOpener>& openers, const std::string& path) {
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
