#include "drivers/detect_type.h"

#include "drivers/arj32.h"
#include "drivers/cab32.h"
#include "drivers/lha32.h"
#include "drivers/rar32.h"
#include "drivers/tar32.h"
#include "drivers/zip32.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace {
struct ExtensionType {
  const char* ext;
  TArchiverType type;
};
constexpr ExtensionType kExtensions[] = {
    {".lzh", atLha}, {".zip", atZip}, {".cab", atCab}, {".arj", atArj}, {".tar", atTar}, {".tgz", atTgz},
    {".taz", atTgz}, {".gz", atTgz},  {".z", atTgz},   {".bz2", atBZ2}, {".rar", atRar},
};

// Every probe runs; a later positive answer outranks an earlier one.
TArchiverType Probe(const std::string& fileName) {
  TArchiverType result = GetTarType(fileName);
  if (IsRarArchive(fileName)) result = atRar;
  if (IsArjArchive(fileName)) result = atArj;
  if (IsCabArchive(fileName)) result = atCab;
  if (IsZipArchive(fileName)) result = atZip;
  if (IsLhaArchive(fileName)) result = atLha;
  return result;
}
}  // namespace

TArchiverType DetectArchiverType(const std::string& fileName, bool byExtension) {
  if (!byExtension) return Probe(fileName);
  std::string ext = platform::ExtractFileExt(fileName);
  if (ext.empty()) return atNone;
  if (platform::SameTextAscii(ext, ".exe")) return DetectArchiverType(fileName, false);
  for (const ExtensionType& e : kExtensions)
    if (platform::SameTextAscii(ext, e.ext)) return e.type;
  return atNone;
}

std::vector<std::string> ArchiveExtensions() {
  std::vector<std::string> out;
  for (const ExtensionType& e : kExtensions) out.emplace_back(e.ext);
  return out;
}
