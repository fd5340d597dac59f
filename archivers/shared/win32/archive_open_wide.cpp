// SPDX-License-Identifier: MIT
// The wide-character open behind archive_read_open_filename (engine_win32.h).
#include <archive.h>

#include "platform/win32/wide.h"

#undef archive_read_open_filename

extern "C" int bms_archive_read_open_filename(struct archive* a, const char* utf8Path, size_t blockSize) {
  std::wstring wide = platform::win32::FsToWide(utf8Path);
  return archive_read_open_filename_w(a, wide.c_str(), blockSize);
}
