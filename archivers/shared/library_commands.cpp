// SPDX-License-Identifier: MIT
#include "archivers/shared/library_commands.h"

#include <cinttypes>
#include <cstdio>

#include "archiver_api.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/output_budget.h"
#include "platform/file_time.h"
#include "platform/input_file.h"

namespace arc {

namespace {
#ifdef _WIN32
constexpr const char* kNewline = "\r\n";
#else
constexpr const char* kNewline = "\n";
#endif

constexpr const char* kRule = "------------ ------------ ------ ------------------- ------ -------- ------------";

// "100.0%" style: packed over original; blank when either is unknown.
std::string RatioText(std::uint64_t packed, std::uint64_t original) {
  if (original == 0 || packed == 0) return "";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%5.1f%%", static_cast<double>(packed) * 100.0 / static_cast<double>(original));
  return buf;
}

// "YYYY-MM-DD hh:mm:ss" in local time; blank when unknown.
std::string StampText(std::time_t t) {
  std::int64_t local = 0;
  if (t == 0 || !platform::UtcToLocalNow(static_cast<std::int64_t>(t), local)) return "";
  platform::CivilTime c = platform::SecondsToCivil(local);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04" PRId64 "-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                c.second);
  return buf;
}

std::string Row(std::uint64_t original, std::uint64_t packed, const std::string& stamp, const std::string& attributes,
                const std::string& method, const std::string& name) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%12" PRIu64 " %12" PRIu64 " %6s %-19s %-6s %-8s ", original, packed,
                RatioText(packed, original).c_str(), stamp.c_str(), attributes.c_str(), method.c_str());
  return buf + name + kNewline;
}

bool Selected(const EntrySelection& selection, const EntryInfo& info, std::string& display) {
  if (selection.RuledOut(info.name, info.nameIsUtf8)) return false;
  display = DisplayName(info.name, info.nameIsUtf8);
  return selection.Selects(display);
}
}  // namespace

int ListArchive(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::size_t room,
                std::string& table) {
  table = std::string("    Original       Packed  Ratio Date       Time     Attr   Method   Name") + kNewline + kRule +
          kNewline;
  EntrySelection selection(req.include, req.exclude);
  std::uint64_t original = 0, packed = 0, count = 0;
  int result = 0;
  try {
    auto reader = OpenWithAny(openers, req.archive);
    EntryInfo info;
    std::string display;
    while (reader->Next(info)) {
      if (!Selected(selection, info, display)) continue;
      if (table.size() < room)
        table += Row(info.size, info.compressedSize, StampText(info.mtime), AttributeText(info), info.method, display);
      original += info.size;
      packed += info.compressedSize;
      ++count;
    }
  } catch (const ArcError& e) {
    result = e.Code();
  }
  table += std::string(kRule) + kNewline;
  table += Row(original, packed, "", "", "", std::to_string(count) + (count == 1 ? " file" : " files"));
  return result;
}

int TestArchive(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::string& message) {
  EntrySelection selection(req.include, req.exclude);
  std::uint64_t archiveSize = platform::RegularFileSize(req.archive).value_or(0);
  std::uint64_t decoded = 0, tested = 0;
  int first = 0;
  std::string failures;
  auto fail = [&](int code, const std::string& what) {
    if (first == 0) first = code;
    if (!failures.empty()) failures += "; ";
    failures += what;
  };
  try {
    auto reader = OpenWithAny(openers, req.archive);
    EntryInfo info;
    std::string display;
    for (;;) {
      try {
        // A header that cannot be read leaves no way to the next entry.
        if (!reader->Next(info)) break;
      } catch (const ArcError& e) {
        fail(e.Code(), e.what());
        break;
      }
      if (!Selected(selection, info, display)) continue;
      ++tested;
      if (info.isDirectory || info.isSymlink || info.isHardlink) continue;
      EntryBudget budget(req.limits, info, archiveSize, decoded);
      try {
        reader->ReadSparseData(
            [&](const void*, std::size_t n) {
              budget.Add(n, 0);
              return true;
            },
            [&](std::uint64_t length) {
              budget.Add(0, length);
              return true;
            });
        decoded += budget.Written();
      } catch (const ArcError& e) {
        fail(e.Code(), display + ": " + e.what());
        if (budget.StopsArchive()) break;
      }
    }
  } catch (const ArcError& e) {
    fail(e.Code(), e.what());
  }
  message = first ? failures : std::to_string(tested) + (tested == 1 ? " entry" : " entries") + " tested, no error";
  return first;
}

}  // namespace arc
