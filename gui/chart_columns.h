#pragma once
// The thirteen columns of the chart list: caption and alignment.
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
