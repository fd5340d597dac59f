// SPDX-License-Identifier: MIT
#pragma once
// Facts computed from a whole chart, shown as optional columns after the
// thirteen (and after the hash columns): keys, notes, #TOTAL, the tempo
// range, the length up to the last note, the files the chart names but the
// archive lacks, and whether the chart holds a #RANDOM block. The readers
// (bms_facts.h, bmson_chart.h) gather what a chart holds into ChartContent;
// ComputeFacts turns that into the columns' texts.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "charts/archive_names.h"
#include "platform/text_encoding.h"

inline constexpr int kFactColumnCount = 8;
enum FactColumn : int { fcKeys = 0, fcNotes, fcTotal, fcBpmMin, fcBpmMax, fcLength, fcMissing, fcRandom };

struct ChartFacts {
  std::array<std::string, kFactColumnCount> texts;  // ASCII, or the mark "○" in CP932
  // For the window's tooltip, as the chart writes them (in the row's
  // encoding): decoded only when shown.
  std::vector<std::string> missingNames;
};

// What the readers take from a chart. Positions are in beats (quarter
// notes) from the start.
struct ChartContent {
  struct Tempo {
    double beat;
    double bpm;
  };
  struct Stop {
    double beat;
    double beats;  // how long the scroll stands, as beats at the tempo of the moment
  };
  std::optional<double> initialBpm;  // a usable (positive, finite) value only
  std::vector<Tempo> tempos;         // usable values only, in any order
  std::vector<Stop> stops;
  std::size_t notes = 0;
  double lastNoteBeat = -1;  // where the last playable note (or long-note end) lies; < 0: none
  std::string keys;          // "7K"... as the reader judged it; empty without notes
  std::string total;         // as written; empty when absent
  bool random = false;
  std::vector<std::string> fileNames;  // sound and image files, bytes in the chart's encoding
};

// The column texts. `names` holds the archive's files, `chartName` is the
// chart's file name (CP932) there; `encoding` is the one the chart's file
// names are written in.
ChartFacts ComputeFacts(const ChartContent& content, const ArchiveNames& names, std::string_view chartName,
                        platform::TextEncoding encoding);

// The length in seconds, tempo changes and stops included; no value when it
// has none worth showing (no note, or beyond any sensible song).
std::optional<double> LengthSeconds(const ChartContent& content);
// "150", "133.33", "0.5": at most two decimals, trailing zeros dropped.
std::string NumberText(double value);
// "m:ss", rounded to the second.
std::string LengthText(double seconds);
