// SPDX-License-Identifier: MIT
#pragma once
// Where bmslist-cli's CSV goes, and what it says when it cannot go there.
// Each function writes its own "bmslist-cli: ..." line on standard error.
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "charts/csv_export.h"

// Checked before anything is unpacked, so a long run never ends in a CSV
// that cannot be written: the target's folder must exist, the target must
// be no folder, and it must be none of the archives (by identity, so
// "./a.zip" or a hard link count too), which the CSV would overwrite.
// `given` is the name as given, `fsPath` its absolute form, `archives` the
// absolute CP932 paths. False after saying why.
bool CsvTargetUsable(const std::string& given, const std::string& fsPath, const std::vector<std::string>& archives);

// Writes the CSV of `list` to the file (stale temporaries of a killed export
// beside it removed first) or to standard output; the program's exit status.
int WriteCsvFile(const ChartList& list, const std::string& given, const std::string& fsPath, const CsvOptions& options);
int WriteCsvToStdout(const ChartList& list, const CsvOptions& options);
