// SPDX-License-Identifier: MIT
#pragma once
// The columns of the chart list, for every front end: caption, alignment,
// the width a new settings file starts with, and which columns an option
// adds after the thirteen.
#include <array>

#include "charts/chart_row.h"
#include "session/session_options.h"

enum class ColumnAlign { kLeft, kRight, kCenter };

struct ColumnSpec {
  const char* caption;  // ASCII
  ColumnAlign align;
  int designedWidth;  // pixels, before any stored width
  bool number;        // holds a value that may be sorted as a number
};

inline constexpr std::array<ColumnSpec, kColumnCountWithFacts> kColumnTable = {{
    {"Filename", ColumnAlign::kLeft, 50, false},
    {"Artist", ColumnAlign::kLeft, 50, false},
    {"Genre", ColumnAlign::kLeft, 50, false},
    {"Title", ColumnAlign::kLeft, 50, false},
    {"Difficulty", ColumnAlign::kRight, 50, true},
    {"Player", ColumnAlign::kRight, 50, true},
    {"BPM", ColumnAlign::kRight, 50, true},
    {"MIDI", ColumnAlign::kCenter, 50, false},
    {"WAV", ColumnAlign::kCenter, 50, false},
    {"BGA", ColumnAlign::kCenter, 50, false},
    {"Date", ColumnAlign::kRight, 50, false},
    {"ArcName", ColumnAlign::kLeft, 50, false},
    {"ArcPath", ColumnAlign::kLeft, 50, false},
    // Shown when the options ask for them; wide enough for 32 and 64 hex
    // digits in the window's font.
    {"MD5", ColumnAlign::kLeft, 230, false},
    {"SHA-256", ColumnAlign::kLeft, 450, false},
    // The facts (charts/chart_facts.h), shown when the options ask for them.
    {"Keys", ColumnAlign::kRight, 40, false},
    {"Notes", ColumnAlign::kRight, 50, true},
    {"Total", ColumnAlign::kRight, 50, true},
    {"BpmMin", ColumnAlign::kRight, 55, true},
    {"BpmMax", ColumnAlign::kRight, 55, true},
    {"Length", ColumnAlign::kRight, 50, false},
    {"Missing", ColumnAlign::kRight, 50, true},
    {"Random", ColumnAlign::kCenter, 50, false},
}};

inline const ColumnSpec& ColumnAt(int column) { return kColumnTable.at(static_cast<std::size_t>(column)); }

// How many columns the list shows with these options.
inline int ShownColumnCount(const SessionOptions& options) {
  return kChartColumnCount + (options.hashColumns ? kColumnCountWithHashes - kChartColumnCount : 0) +
         (options.chartFacts ? kFactColumnCount : 0);
}

// The column (index of kColumnTable and ChartRow::ColumnText) shown at
// `place` (0 to ShownColumnCount - 1): without the hash columns the facts
// move up to follow the thirteen.
inline int ShownColumn(bool hashColumns, int place) {
  return place >= kChartColumnCount && !hashColumns ? place + (kColumnCountWithHashes - kChartColumnCount) : place;
}
inline int ShownColumn(const SessionOptions& options, int place) { return ShownColumn(options.hashColumns, place); }

// The columns whose widths live in the options' section (they appear only
// once the options ask for them).
inline bool IsOptionalColumn(int column) { return column >= kChartColumnCount; }
