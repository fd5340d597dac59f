// SPDX-License-Identifier: MIT
#include "drivers/detect_type.h"

#include "drivers/archive_formats.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace {
// Every probe runs, from the last row up; a higher row's yes outranks a
// lower one's.
TArchiverType Probe(const std::string& fileName) {
  TArchiverType result = atNone;
  std::span<const ArchiveFormat> formats = ArchiveFormats();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it) {
    if (!it->probe) continue;
    TArchiverType found = it->probe(fileName);
    if (found != atNone) result = found;
  }
  return result;
}
}  // namespace

TArchiverType DetectArchiverType(const std::string& fileName, bool byExtension) {
  if (!byExtension) return Probe(fileName);
  std::string ext = platform::ExtractFileExt(fileName);
  if (ext.empty()) return atNone;
  if (platform::SameTextAscii(ext, ".exe")) return DetectArchiverType(fileName, false);
  // A raw split's first volume ("song.7z.001") that holds the whole archive
  // is that archive: its inner extension names the format, whose library
  // must open it as it is.
  if (platform::SameTextAscii(ext, ".001")) {
    TArchiverType inner = DetectArchiverType(fileName.substr(0, fileName.size() - ext.size()), true);
    const ArchiveFormat* format = FindArchiveFormat(inner);
    return format && format->probe && format->probe(fileName) == inner ? inner : atNone;
  }
  for (const ArchiveFormat& f : ArchiveFormats())
    for (const std::string& known : FormatExtensions(f))
      if (platform::SameTextAscii(ext, known)) return f.type;
  return atNone;
}

std::vector<std::string> ArchiveExtensions() {
  std::vector<std::string> out;
  for (const ArchiveFormat& f : ArchiveFormats())
    for (std::string& ext : FormatExtensions(f)) out.push_back(std::move(ext));
  return out;
}
