// SPDX-License-Identifier: MIT
#pragma once
// The chart files a drop lists, by extension: ".bms" as always, and on
// request the other BMS kinds: ".bme" (seven keys), ".bml" (long notes),
// ".pms" (nine buttons) and ".bmson" (JSON).
#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::array<std::string_view, 5> kKnownChartExtensions = {"bms", "bme", "bml", "pms", "bmson"};

// "bms" only: what a drop lists unless told otherwise.
std::vector<std::string> ClassicChartExtensions();
// All five.
std::vector<std::string> AllChartExtensions();

// Parses a comma list such as "bms,bme" (letter case ignored, each known,
// repeats counted once). False with the offending item in `bad`.
bool ParseChartExtensions(std::string_view list, std::vector<std::string>& out, std::string& bad);
