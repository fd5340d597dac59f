// SPDX-License-Identifier: MIT
#include "archivers/shared/archive_listing.h"

#include <cstdint>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "archivers/shared/cmdline.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/info_records.h"
#include "platform/path_text.h"

namespace arc {

namespace {
struct OpenArchive {
  std::mutex mutex;  // one call on a handle at a time: the getters read what FindNext writes
  std::vector<ReaderOpener> openers;
  std::string path;
  std::unique_ptr<ArchiveReader> reader;  // the current pass; null before FindFirst
  std::vector<std::string> patterns;
  bool ended = false;  // the pass met the last entry: FindNext answers -1 from then on
  bool hasCurrent = false;  // `current` is the entry the last FindFirst/FindNext answered 0 for
  EntryInfo current;
  std::string currentName;  // its display name, whole (INDIVIDUALINFO holds at most 512 bytes)
};

std::mutex g_mutex;
std::map<HARC, std::shared_ptr<OpenArchive>> g_open;
HARC g_next = 1;

std::shared_ptr<OpenArchive> Lookup(HARC harc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = g_open.find(harc);
  return it == g_open.end() ? nullptr : it->second;
}

int NextMatch(OpenArchive& a, INDIVIDUALINFO* out) {
  if (!a.reader) return ERROR_NOT_SEARCH_MODE;
  a.hasCurrent = false;
  // A reader asked again past its end would read on into nothing.
  if (a.ended) return -1;
  try {
    EntryInfo info;
    while (a.reader->Next(info)) {
      std::string display = DisplayName(info.name, info.nameIsUtf8);
      const bool utf8Patterns = std::any_of(a.patterns.begin(), a.patterns.end(), platform::IsUtf8Path);
      if (!EntrySelected(display, a.patterns, {}, utf8Patterns ? Utf8DisplayName(info.name, info.nameIsUtf8) : ""))
        continue;
      if (out) FillIndividualInfo(info, ReportedName(info.name, info.nameIsUtf8), *out);
      a.current = std::move(info);
      a.currentName = std::move(display);
      a.hasCurrent = true;
      return 0;
    }
    a.ended = true;
    return -1;
  } catch (const ArcError& e) {
    return e.Code();
  }
}
}  // namespace

HARC OpenArchiveHandle(const std::vector<ReaderOpener>& openers, const std::string& path) {
  try {
    // Opening proves the format; the first header must read too.
    auto reader = OpenWithAny(openers, path);
    EntryInfo info;
    reader->Next(info);
  } catch (const ArcError&) {
    return 0;
  }
  auto a = std::make_shared<OpenArchive>();
  a->openers = openers;
  a->path = path;
  std::lock_guard<std::mutex> lock(g_mutex);
  HARC h = g_next++;
  if (g_next == 0) g_next = 1;
  g_open[h] = a;
  return h;
}

int CloseArchiveHandle(HARC harc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_open.erase(harc) ? 0 : ERROR_HARC_ISNOT_OPENED;
}

int FindFirstEntry(HARC harc, const std::string& wildName, INDIVIDUALINFO* info) {
  auto a = Lookup(harc);
  if (!a) return ERROR_HARC_ISNOT_OPENED;
  std::lock_guard<std::mutex> lock(a->mutex);
  a->patterns.clear();
  for (auto& t : TokenizeCommandLine(wildName))
    if (!t.text.empty()) a->patterns.push_back(t.text);
  a->ended = false;
  a->hasCurrent = false;
  try {
    a->reader = OpenWithAny(a->openers, a->path);
  } catch (const ArcError& e) {
    a->reader.reset();
    return e.Code();
  }
  return NextMatch(*a, info);
}

int FindNextEntry(HARC harc, INDIVIDUALINFO* info) {
  auto a = Lookup(harc);
  if (!a) return ERROR_HARC_ISNOT_OPENED;
  std::lock_guard<std::mutex> lock(a->mutex);
  return NextMatch(*a, info);
}

int CurrentEntry(HARC harc, EntryInfo& info, std::string& displayName) {
  auto a = Lookup(harc);
  if (!a) return ERROR_HARC_ISNOT_OPENED;
  std::lock_guard<std::mutex> lock(a->mutex);
  if (!a->hasCurrent) return -1;
  info = a->current;
  displayName = a->currentName;
  return 0;
}

int ArchiveOf(HARC harc, std::string& path, ArchiveTotals* totals) {
  auto a = Lookup(harc);
  if (!a) return ERROR_HARC_ISNOT_OPENED;
  std::vector<std::string> patterns;
  {
    std::lock_guard<std::mutex> lock(a->mutex);
    path = a->path;
    patterns = a->patterns;
  }
  if (!totals) return 0;
  *totals = {};
  try {
    auto reader = OpenWithAny(a->openers, path);
    EntryInfo info;
    bool first = true;
    while (reader->Next(info)) {
      if (!EntrySelected(DisplayName(info.name, info.nameIsUtf8), patterns, {})) continue;
      if (first) totals->osType = info.osType;
      first = false;
      totals->originalSize += info.size;
      totals->compressedSize += info.compressedSize;
      ++totals->entries;
    }
  } catch (const ArcError& e) {
    return e.Code();
  }
  return 0;
}

int CountEntries(const std::vector<ReaderOpener>& openers, const std::string& path) {
  try {
    auto reader = OpenWithAny(openers, path);
    EntryInfo info;
    int count = 0;
    while (reader->Next(info))
      if (count < INT32_MAX) ++count;
    return count;
  } catch (const ArcError&) {
    return -1;
  }
}

bool CheckArchiveFile(const std::vector<ReaderOpener>& openers, const std::string& path) {
  try {
    auto reader = OpenWithAny(openers, path);
    EntryInfo info;
    while (reader->Next(info)) {
      if (info.isDirectory || info.isSymlink || info.isHardlink) continue;
      reader->ReadData([](const void*, std::size_t) { return true; });
    }
    return true;
  } catch (const ArcError&) {
    return false;
  }
}

}  // namespace arc
