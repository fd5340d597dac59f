// SPDX-License-Identifier: MIT
#pragma once
// What a creating command line asks for, once its dialect is parsed.
#include <string>
#include <vector>

#include "archivers/shared/source_files.h"

namespace arc {

enum class CreateMode {
  Add,      // add every selected file, replacing entries of the same name
  Update,   // add new files, replace entries only with newer files
  Freshen,  // replace entries with newer files; add nothing
  Delete,   // remove the entries matching the file list
  AdjustSfx,  // fix the offsets of a ZIP archive appended to a stub
};

enum class StreamFilter { None, Gzip, Bzip2 };  // around a TAR archive

struct CreateRequest {
  CreateMode mode = CreateMode::Add;
  std::string archive;     // CP932, as given
  SourceSelection source;  // for Delete: source.patterns are the entries to remove
  int level = -1;          // compression level 0-9; -1: the format's default
  bool archiveTimeFromNewest = false;  // the archive file takes its newest entry's time
  StreamFilter filter = StreamFilter::None;
  std::string refusal;     // why a known command is refused (with ERROR_NOT_SUPPORT)
};

}  // namespace arc
