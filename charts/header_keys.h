#pragma once
// The nine header keys a chart line is tested against, in test order.
#include <algorithm>
#include <cstddef>
#include <string_view>

#include "charts/chart_row.h"

struct HeaderKey {
  std::string_view key;  // upper case, as it must stand at the line's start
  int subItem;
  bool mark;  // sets the mark instead of copying a value
};

inline constexpr HeaderKey kHeaderKeys[] = {
    {"#ARTIST", siArtist, false}, {"#GENRE", siGenre, false},   {"#TITLE", siTitle, false},
    {"#PLAYLEVEL", siDifficulty, false}, {"#PLAYER", siPlayer, false}, {"#BPM", siBpm, false},
    {"#MIDI", siMidi, true},      {"#WAV", siWav, true},        {"#BMP", siBga, true},
};

// A value is at most this many bytes of the line after its key.
inline constexpr std::size_t kMaxValueBytes = 1000;

// No key looks further into a line than this; the rest of a longer line
// can be dropped unread.
inline constexpr std::size_t kUsefulLineBytes =
    std::max_element(std::begin(kHeaderKeys), std::end(kHeaderKeys),
                     [](const HeaderKey& a, const HeaderKey& b) { return a.key.size() < b.key.size(); })
        ->key.size() +
    kMaxValueBytes;

// "○", the mark of the MIDI, WAV and BGA columns.
inline constexpr std::string_view kChartMark = "\x81\x9B";
