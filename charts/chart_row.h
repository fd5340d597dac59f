#pragma once
// The row of one chart file: its caption, twelve text sub-items that always
// exist (CP932 bytes, empty until read), and a check box nothing reads.
#include <array>
#include <string>

inline constexpr int kChartColumnCount = 13;
inline constexpr int kSubItemCount = 12;

// Sub-item indexes (column n shows sub-item n-1).
enum ChartSubItem : int {
  siArtist = 0, siGenre, siTitle, siDifficulty, siPlayer, siBpm,
  siMidi, siWav, siBga, siDate, siArcName, siArcPath,
};

struct ChartRow {
  std::string caption;
  std::array<std::string, kSubItemCount> subItems;
  bool checked = false;

  // Column text: the caption for 0 and for any index outside 1..12.
  const std::string& ColumnText(int column) const;
};
