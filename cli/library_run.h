// SPDX-License-Identifier: MIT
#pragma once
// bmslist-cli's side of the collection: the song folders scanned and the
// difficulty tables imported before the drop, the lookup columns after it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/chart_list.h"

namespace library {
class LibraryIndex;
}

struct LibraryRun {
  std::unique_ptr<library::LibraryIndex> index;
  std::vector<std::string> folders;  // absolute, file-system form
  bool failed = false;               // a folder or table could not be read

  LibraryRun();
  ~LibraryRun();
  // Opens the index, imports the tables and scans the folders (file-system
  // forms as given), saying each failure and the scan's progress through
  // `say` (UTF-8 lines) and `progress`. An index that cannot be used is
  // said too; the list then gets only what it tells by itself (Duplicate).
  void Prepare(const std::vector<std::string>& folders, const std::vector<std::string>& tables,
               const std::vector<std::string>& extensions, const std::function<void(const std::string&)>& say,
               const std::function<void(const std::string&)>& progress);
  // The Library, Table and Duplicate fields of each row; an index that
  // fails now is said and leaves Library and Table empty.
  std::vector<std::vector<std::string>> Fields(const ChartList& list, const std::function<void(const std::string&)>& say);
};
