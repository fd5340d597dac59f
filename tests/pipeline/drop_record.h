// SPDX-License-Identifier: MIT
#pragma once
// What a drop shows its caller, in the order shown: every callback of the
// pipeline with its arguments, and the CSV of the list after (hashes
// included), so that two ways of running a drop can be compared whole.
#include <functional>
#include <string>
#include <vector>

#include "charts/archive_problem.h"
#include "charts/chart_list.h"
#include "charts/csv_export.h"
#include "charts/drop_pipeline.h"

namespace test_support {

struct DropRecord {
  std::vector<std::string> events;
  std::string csv;
  bool operator==(const DropRecord&) const = default;
};

// Runs one drop through `pipeline`, whose list is `list`; `goOn` answers
// onArchiveStarting (every archive when not given).
inline DropRecord RecordDrop(DropPipeline& pipeline, const ChartList& list, const std::vector<std::string>& paths,
                             const std::function<bool(std::size_t)>& goOn = {}) {
  DropRecord r;
  pipeline.options.hashes = true;
  pipeline.onArchiveStarting = [&](std::size_t i, std::size_t n, const std::string& path) {
    r.events.push_back("start " + std::to_string(i) + "/" + std::to_string(n) + " " + path);
    return !goOn || goOn(i);
  };
  pipeline.onRowAdded = [&](std::size_t row) {
    r.events.push_back("row " + std::to_string(row) + " " + list.Row(row).caption);
  };
  pipeline.onArchiveProblem = [&](const ArchiveProblem& p) {
    std::string text = "problem " + p.archivePath + ": " + ProblemReasonsText(p);
    for (const std::string& n : p.unlistedNames) text += " [" + n + "]";
    r.events.push_back(text);
  };
  pipeline.WMDropFiles(paths);
  r.csv = ChartCsvText(list, CsvOptions{CsvFormat::kClassic, true});
  return r;
}

// For failure messages: one event a line, then the CSV.
inline std::string Describe(const DropRecord& r) {
  std::string out;
  for (const std::string& e : r.events) out += e + "\n";
  return out + r.csv;
}

}  // namespace test_support
