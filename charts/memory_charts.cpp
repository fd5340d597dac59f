// SPDX-License-Identifier: MIT
#include "charts/memory_charts.h"

#include <cstring>
#include <set>

#include "archives/archiver.h"
#include "platform/cp932.h"

namespace {

constexpr std::uint16_t kHiddenOrSystem = 0x02 | 0x04;

struct Collector {
  bool listing = false;  // the archive's names are wanted
  std::vector<std::string> masks;
  MemoryScan scan;
  std::set<std::string> leaves;  // ASCII case folded: a case-insensitive file system keeps one
  bool usable = true;
};

bool EndsInDotOrSpace(const std::string& name) { return !name.empty() && (name.back() == '.' || name.back() == ' '); }

int ARC_API Collect(void* context, const ENTRYMEMINFO* entry) {
  Collector& c = *static_cast<Collector*>(context);
  try {
    if (c.listing && c.scan.names.Count() < kMaxArchiveNames)
      c.scan.names.Add(std::string_view(entry->info.szFileName, strnlen(entry->info.szFileName, sizeof entry->info.szFileName)));
    if (!entry->chosen) return 0;
    MemoryChart chart;
    chart.file.fsName.assign(entry->leafName, strnlen(entry->leafName, sizeof entry->leafName));
    const std::string& leaf = chart.file.fsName;
    if (leaf.empty() || leaf[0] == '.' || EndsInDotOrSpace(leaf) || (entry->attributes & kHiddenOrSystem) ||
        entry->time == 0 || !platform::TryUtf8ToCp932AllowingTwins(leaf, chart.file.name) ||
        !platform::MatchesAnyMask(chart.file.name, c.masks) || !c.leaves.insert(platform::AsciiLower(leaf)).second) {
      c.usable = false;
      return 1;  // the unpacking decides: no need to read on
    }
    chart.bytes.assign(reinterpret_cast<const char*>(entry->data), entry->size);
    chart.time = entry->time;
    c.scan.charts.push_back(std::move(chart));
    return 0;
  } catch (...) {
    // Nothing thrown crosses back into the library.
    c.usable = false;
    return 1;
  }
}

}  // namespace

std::optional<MemoryScan> ReadChartsInMemory(TArchiver& archiver, const std::string& archivePath,
                                             const std::vector<std::string>& extensions, bool listing) {
  // The library's command line quotes each word; a quote inside would end it.
  if (archivePath.find('"') != std::string::npos) return std::nullopt;
  Collector c;
  c.listing = listing;
  std::string cmdLine = std::string(listing ? "" : "-n ") + "\"" + archivePath + "\"";
  for (const std::string& extension : extensions) {
    if (extension.find('"') != std::string::npos) return std::nullopt;
    c.masks.push_back("*." + extension);
    cmdLine += " \"*." + extension + "\"";
  }
  if (archiver.ListExtractMem(cmdLine, &Collect, &c) != 0 || !c.usable || c.scan.charts.empty()) return std::nullopt;
  return std::move(c.scan);
}
