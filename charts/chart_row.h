// SPDX-License-Identifier: MIT
#pragma once
// The row of one chart file: its caption, twelve text sub-items that always
// exist (bytes as read, empty until read), a check box nothing reads, the
// encoding the chart's header values are in, and the chart file's hashes.
#include <array>
#include <memory>
#include <string>

#include "charts/chart_facts.h"

#include "platform/text_encoding.h"

inline constexpr int kChartColumnCount = 13;
inline constexpr int kSubItemCount = 12;

// Sub-item indexes (column n shows sub-item n-1).
enum ChartSubItem : int {
  siArtist = 0, siGenre, siTitle, siDifficulty, siPlayer, siBpm,
  siMidi, siWav, siBga, siDate, siArcName, siArcPath,
};

// The two hash columns that follow the thirteen when shown.
inline constexpr int kMd5Column = 13;
inline constexpr int kSha256Column = 14;
inline constexpr int kColumnCountWithHashes = 15;
// The facts columns (charts/chart_facts.h) follow the hash columns.
inline constexpr int kFactsColumn = kColumnCountWithHashes;
inline constexpr int kColumnCountWithFacts = kFactsColumn + kFactColumnCount;

struct ChartRow {
  std::string caption;
  std::array<std::string, kSubItemCount> subItems;
  bool checked = false;
  // The header values (sub-items 0 to 5) are in this encoding; everything
  // else the program writes (caption, marks, date) is CP932.
  platform::TextEncoding encoding = platform::TextEncoding::kCp932;
  // The archive fields (name and folder) are in this encoding: UTF-8 when
  // CP932 cannot hold the archive's path, CP932 otherwise.
  platform::TextEncoding archiveEncoding = platform::TextEncoding::kCp932;
  std::string md5, sha256;  // lower-case hex; empty when not computed
  std::shared_ptr<const ChartFacts> facts;  // only when asked for
  // Read in place from a dropped folder, not from an archive: the archive
  // fields then name the chart's folder (below the dropped one, and whole).
  bool inFolder = false;

  // Sets the archive fields from an archive's (or a folder's) name and
  // folder as the pipeline holds them: a path CP932 cannot hold comes marked
  // and gives UTF-8 fields without the mark.
  void SetArchiveFields(const std::string& name, const std::string& folder);

  // Column text: the caption for 0, the hashes for 13 and 14, the facts
  // from 15 on (empty without them), and the caption for any other index
  // outside 1..12.
  const std::string& ColumnText(int column) const;
  // The encoding of that column's text.
  platform::TextEncoding ColumnEncoding(int column) const;
};
