// SPDX-License-Identifier: MIT
#pragma once
// The chart header reader: fills one chart row from one chart file.
#include <string>
#include <string_view>

#include "charts/archive_names.h"
#include "charts/chart_row.h"
#include "platform/paths.h"

struct ChartReadOptions {
  bool hashes = false;  // MD5 and SHA-256 of the whole file
  bool facts = false;   // ChartRow::facts, from the whole chart
  // The archive's files, for the facts' missing files; none when null.
  const ArchiveNames* names = nullptr;
};

// Fills the date (sub-item 9), the caption and sub-items 0..8 of `row` from
// the file `fileName` (CP932 path, relative names resolved in the current
// folder), and the row's encoding (and hashes and facts when asked). A
// ".bmson" file is read as bmson (bmson_chart.h); one that is no JSON
// object throws platform::Error. Read errors of
// the lines step throw platform::EInOutError after the row has got what was
// read so far.
void ReadChart(ChartRow& row, const std::string& fileName, const ChartReadOptions& options = {});
// The same for a file found by listing: `fileName` is the name it was listed
// under (the caption), `file` the name the file system holds, which is the
// one opened (a CP932 name may stand for two files, see platform/cp932.h).
void ReadChart(ChartRow& row, const std::string& fileName, const platform::FsPath& file,
               const ChartReadOptions& options = {});

// The same for a chart already in memory: `bytes` are the file's content,
// `utcTime` its modification time (UTC seconds) as an unpacking would set
// it. The row comes out as ReadChart makes it from that file.
void ReadChartBytes(ChartRow& row, const std::string& fileName, std::string_view bytes, std::int64_t utcTime,
                    const ChartReadOptions& options = {});

// Applies the nine header keys to one line.
void ParseHeaderLine(ChartRow& row, std::string_view line);
