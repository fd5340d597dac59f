// SPDX-License-Identifier: MIT
#include "charts/progress_text.h"

#include <cstring>

#include "charts/column_text.h"
#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/paths.h"

std::string ArchiveProgressText(std::size_t index, std::size_t count, const std::string& archivePath) {
  // Progress texts are CP932: a name it cannot hold shows "?" there (only).
  std::string name = platform::ExtractFileName(archivePath);
  if (platform::IsUtf8Path(archivePath)) name = platform::Utf8ToCp932(name);
  return std::to_string(index + 1) + " / " + std::to_string(count) + "  " + EscapeControls(name, false);
}

std::string ProgressEntryName(int state, const EXTRACTINGINFOEX* info) {
  if (!info || (state != ARCEXTRACT_BEGIN && state != ARCEXTRACT_INPROCESS)) return {};
  const char* dest = info->exinfo.szDestFileName;
  const std::string path(dest, strnlen(dest, sizeof info->exinfo.szDestFileName));
  std::string name = platform::ExtractFileName(path);
  if (platform::IsUtf8Path(path)) name = platform::Utf8ToCp932(name);
  return EscapeControls(name, false);
}
