#pragma once
// The columns of the chart list: caption and alignment.
#include <Qt>
#include <array>

#include "charts/chart_row.h"

struct ChartColumn {
  const char* caption;
  Qt::Alignment alignment;
};

inline constexpr std::array<ChartColumn, kChartColumnCount> kChartColumns = {{
    {"Filename", Qt::AlignLeft},
    {"Artist", Qt::AlignLeft},
    {"Genre", Qt::AlignLeft},
    {"Title", Qt::AlignLeft},
    {"Difficulty", Qt::AlignRight},
    {"Player", Qt::AlignRight},
    {"BPM", Qt::AlignRight},
    {"MIDI", Qt::AlignHCenter},
    {"WAV", Qt::AlignHCenter},
    {"BGA", Qt::AlignHCenter},
    {"Date", Qt::AlignRight},
    {"ArcName", Qt::AlignLeft},
    {"ArcPath", Qt::AlignLeft},
}};

// The two hash columns shown after the thirteen on request.
inline constexpr std::array<ChartColumn, 2> kHashColumns = {{
    {"MD5", Qt::AlignLeft},
    {"SHA-256", Qt::AlignLeft},
}};

inline const ChartColumn& ColumnAt(int column) {
  if (column >= kChartColumnCount) return kHashColumns[static_cast<std::size_t>(column - kChartColumnCount)];
  return kChartColumns[static_cast<std::size_t>(column)];
}
