#include "charts/archive_problem.h"

#include <cstdio>

#include "archivers/include/archiver_api.h"
#include "charts/column_text.h"
#include "platform/cp932.h"

std::string ExtractResultReason(std::int32_t code) {
  switch (code) {
    case 0:
      return {};
    case ERROR_DISK_SPACE:
      return "disk full";
    case ERROR_CANNOT_WRITE:
    case ERROR_MAKEDIRECTORY:
    case ERROR_TMP_OPEN:
    case ERROR_FILE_OPEN:
      return "files could not be written to the working folder";
    case ERROR_PASSWORD_FILE:
      return "encrypted entries";
    case ERROR_FILE_CRC:
    case ERROR_HEADER_CRC:
    case ERROR_HEADER_BROKEN:
    case ERROR_BROKEN_DATA:
    case ERROR_HUFFMAN_CODE:
    case ERROR_COMMENT_HEADER:
    case ERROR_UNEXPECTED_EOF:
    case ERROR_EOF:
    case ERROR_INVALID_END_MARK:
    case ERROR_NO_END_MARK:
    case ERROR_HDR_INVALID_SIZE:
      return "damaged entries";
    case ERROR_METHOD:
    case ERROR_UNKNOWN_LEVEL:
    case ERROR_VERSION:
    case ERROR_NOT_SUPPORT:
      return "entries packed in a way the archiver library cannot unpack";
    case ERROR_NOT_ARC_FILE:
    case ERROR_UNKNOWN_TYPE:
    case ERROR_FILE_STYLE:
      return "unknown format";
    case ERROR_ARC_FILE_OPEN:
    case ERROR_NOT_FIND_ARC_FILE:
    case ERROR_CANNOT_READ:
      return "the archive cannot be read";
    case ERROR_EXPANDS_TOO_FAR:
      return "stopped: expands past 200 MiB and 100 times its packed size";
    case ERROR_UNSAFE_PATH:
      return "entries that would land outside the working folder were refused";
    case ERROR_LONG_FILE_NAME:
      return "entry names too long";
    case ERROR_ENOUGH_MEMORY:
    case ERROR_MORE_HEAP_MEMORY:
    case ERROR_HEAP_MEMORY:
      return "out of memory";
    case ERROR_USER_CANCEL:
      return "stopped";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "the archiver library reported error 0x%04X",
                    static_cast<unsigned>(code));
      return text;
    }
  }
}

std::string ProblemReasonsText(const ArchiveProblem& problem) {
  std::string text;
  for (const std::string& r : problem.reasons) text += (text.empty() ? "" : "; ") + platform::Cp932ToUtf8(r);
  if (!problem.unlistedNames.empty()) {
    text += text.empty() ? "" : "; ";
    text += "names that cannot be written in code page 932, not listed:";
    for (const std::string& n : problem.unlistedNames) text += " " + n;
  }
  if (!problem.undeletableNames.empty()) {
    text += text.empty() ? "" : "; ";
    text += "files the working folder's clean-up cannot delete, left behind for a fresh working folder:";
    for (const std::string& n : problem.undeletableNames) text += " " + n;
  }
  // Names from archives reach a terminal here.
  return EscapeControls(text, true);
}
