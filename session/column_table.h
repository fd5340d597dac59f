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

// The collection's columns (session/library_columns.h) follow the facts:
// worked out for the list, not held by its rows.
inline constexpr int kLookupColumn = kColumnCountWithFacts;  // Library, Table, Duplicate
inline constexpr int kLookupColumnCount = 3;
inline constexpr int kColumnCountWithLookups = kLookupColumn + kLookupColumnCount;

inline constexpr std::array<ColumnSpec, kColumnCountWithLookups> kColumnTable = {{
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
    // The collection's, shown when the options ask for them.
    {"Library", ColumnAlign::kLeft, 200, false},
    {"Table", ColumnAlign::kLeft, 80, false},
    {"Duplicate", ColumnAlign::kLeft, 120, false},
}};

inline const ColumnSpec& ColumnAt(int column) { return kColumnTable.at(static_cast<std::size_t>(column)); }

// How many columns the list shows with these options.
inline int ShownColumnCount(const SessionOptions& options) {
  return kChartColumnCount + (options.hashColumns ? kColumnCountWithHashes - kChartColumnCount : 0) +
         (options.chartFacts ? kFactColumnCount : 0) + (options.libraryColumns ? kLookupColumnCount : 0);
}

// The column (index of kColumnTable; ChartRow::ColumnText below
// kLookupColumn) shown at `place` (0 to ShownColumnCount - 1): the
// optional groups that are hidden leave no gap, so those after them move up.
inline int ShownColumn(bool hashColumns, bool factColumns, int place) {
  int column = place;
  if (column >= kChartColumnCount && !hashColumns) column += kColumnCountWithHashes - kChartColumnCount;
  if (column >= kFactsColumn && !factColumns) column += kFactColumnCount;
  return column;
}
inline int ShownColumn(const SessionOptions& options, int place) {
  return ShownColumn(options.hashColumns, options.chartFacts, place);
}

// The columns whose widths live in the options' section (they appear only
// once the options ask for them).
inline bool IsOptionalColumn(int column) { return column >= kChartColumnCount; }
