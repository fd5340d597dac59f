// SPDX-License-Identifier: MIT
#pragma once
// bmson charts: JSON text (UTF-8) whose "info" object carries the header
// and whose sound channels, tempo and stop events give the facts.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "charts/chart_facts.h"

// A larger file is no chart anyone plays: it is not parsed (a parsed
// document takes several times the text's size).
inline constexpr std::size_t kMaxBmsonBytes = 32 << 20;

struct BmsonChart {
  // Artist, genre, title (with the subtitle), level, player ("1", or "3"
  // for the double-play modes) and the initial tempo, as UTF-8: the values
  // of sub-items 0 to 5.
  std::array<std::string, 6> header;
  bool sounds = false;  // a sound channel names a file
  bool images = false;  // a BGA image is named
  ChartContent content;
};

// False when `text` is no JSON object.
bool ParseBmson(std::string_view text, BmsonChart& out);
