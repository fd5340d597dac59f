// SPDX-License-Identifier: MIT
#include "cli/library_run.h"

#include "cli/cli_system.h"
#include "library/chart_lookup.h"
#include "library/difficulty_table.h"
#include "library/library_index.h"

LibraryRun::LibraryRun() = default;
LibraryRun::~LibraryRun() = default;

void LibraryRun::Prepare(const std::vector<std::string>& givenFolders, const std::vector<std::string>& tables,
                         const std::vector<std::string>& extensions, const std::function<void(const std::string&)>& say,
                         const std::function<void(const std::string&)>& progress) {
  std::string path;
  try {
    path = library::LibraryIndex::DefaultPath();
    index = std::make_unique<library::LibraryIndex>(path);
  } catch (const std::exception& e) {
    say("bmslist-cli: the library index cannot be used: " + std::string(e.what()) + "\n");
    failed = true;
    return;
  }
  if (!index->SetAsidePath().empty())
    say("bmslist-cli: " + path + " was damaged or of another version; moved to " + index->SetAsidePath() +
        " and started anew\n");
  for (const std::string& file : tables) {
    try {
      const library::DifficultyTable table = library::ReadDifficultyTable(std::u8string(file.begin(), file.end()));
      index->StoreTable(table);
    } catch (const std::exception& e) {
      say("bmslist-cli: " + std::string(e.what()) + "\n");
      failed = true;
    }
  }
  for (const std::string& given : givenFolders) {
    std::string folder, why;
    if (!AbsoluteFsPath(given, folder, why)) {
      say("bmslist-cli: " + given + ": " + why + "\n");
      failed = true;
      continue;
    }
    try {
      const library::ScanTotals totals =
          index->Scan(folder, extensions, [&](std::size_t n) { progress(given + ": " + std::to_string(n) + " charts"); });
      for (const std::string& rel : totals.unreadable) say("bmslist-cli: " + given + "/" + rel + ": cannot be read\n");
      folders.push_back(folder);
    } catch (const std::exception& e) {
      say("bmslist-cli: " + std::string(e.what()) + "\n");
      failed = true;
    }
  }
}

std::vector<std::vector<std::string>> LibraryRun::Fields(const ChartList& list,
                                                      const std::function<void(const std::string&)>& say) {
  try {
    return library::LookupFields(library::LookUpRows(list, index.get(), folders));
  } catch (const std::exception& e) {
    // What the list alone tells still stands.
    say("bmslist-cli: the library index cannot be read: " + std::string(e.what()) + "\n");
    failed = true;
    return library::LookupFields(library::LookUpRows(list, nullptr, {}));
  }
}
