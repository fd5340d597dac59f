// SPDX-License-Identifier: MIT
#pragma once
// The nine header keys a chart line is tested against, in test order.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
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

// Which keys a line can hold, by its second byte (the first is '#' for all):
// most chart lines are channel data ("#00111:...") that no key starts like,
// and they are turned away by one look-up.
using HeaderKeySet = std::uint16_t;  // bit i: kHeaderKeys[i]
static_assert(std::size(kHeaderKeys) <= 16, "one bit per key");
constexpr bool AllHeaderKeysStartWithHash() {
  for (const HeaderKey& k : kHeaderKeys)
    if (k.key.size() < 2 || k.key[0] != '#') return false;
  return true;
}
static_assert(AllHeaderKeysStartWithHash(), "a line not starting with '#' is turned away unread");

constexpr std::array<HeaderKeySet, 256> HeaderKeysBySecondByte() {
  std::array<HeaderKeySet, 256> table{};
  for (std::size_t i = 0; i < std::size(kHeaderKeys); ++i) {
    const char c = kHeaderKeys[i].key[1];
    table[static_cast<unsigned char>(c)] |= static_cast<HeaderKeySet>(1u << i);
    if (c >= 'A' && c <= 'Z')
      table[static_cast<unsigned char>(c - 'A' + 'a')] |= static_cast<HeaderKeySet>(1u << i);
  }
  return table;
}
inline constexpr std::array<HeaderKeySet, 256> kHeaderKeysBySecondByte = HeaderKeysBySecondByte();

// The keys a line may start with, judged by its first two bytes.
inline HeaderKeySet KeysStartingLike(std::string_view line) {
  if (line.size() < 2 || line[0] != '#') return 0;
  return kHeaderKeysBySecondByte[static_cast<unsigned char>(line[1])];
}

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
