// SPDX-License-Identifier: MIT
#pragma once
// Where a CSV export may go. Everything in the working folders is deleted
// by the next drop (and a private folder when the program ends), so an
// export is never offered there nor written there.
#include <string>

#include "charts/chart_list.h"
#include "charts/csv_export.h"
#include "platform/paths.h"

// True when `path` (CP932 or the file system's form, absolute) is "work",
// a private "work-XXXXXX" beside it, or lies inside one of them.
bool IsInWorkingFolders(const std::string& path);

// Writes the list as CSV under exactly the name given. Throws
// platform::EInOutError (message in CP932) when the file cannot be written,
// and when it would land in a working folder.
void ExportList(const ChartList& list, const platform::FsPath& target, const CsvOptions& options);
