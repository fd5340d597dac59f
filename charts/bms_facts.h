// SPDX-License-Identifier: MIT
#pragma once
// Reads the facts of a BMS (or PMS) chart from its '#' lines, fed one at a
// time as the header reader cuts them. Control flow (#RANDOM, #IF, #SWITCH)
// takes the first branch of each block: every random number is taken as 1
// (#SETRANDOM and #SETSWITCH give theirs). Hostile charts are bounded: the
// blocks nest at most kMaxBlockDepth deep (what lies deeper is passed
// over), at most kMaxObjects objects are kept, a line counts up to
// kFactLineBytes bytes.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "charts/chart_facts.h"

inline constexpr std::size_t kFactLineBytes = 1 << 20;
inline constexpr std::size_t kMaxBlockDepth = 32;
inline constexpr std::size_t kMaxObjects = 1 << 20;

class BmsFactsReader {
 public:
  // `pms`: a nine-button chart (".pms"), whose keys are "9K".
  explicit BmsFactsReader(bool pms);
  ~BmsFactsReader();
  BmsFactsReader(const BmsFactsReader&) = delete;
  BmsFactsReader& operator=(const BmsFactsReader&) = delete;

  // One line starting with '#', without its line end.
  void AddLine(std::string_view line);
  // Once, after the last line.
  ChartContent Finish();

 private:
  static constexpr int kIds = 36 * 36;
  static constexpr int kMeasures = 1000;

  struct Block {
    enum Kind : std::uint8_t { kRandom, kIf, kSwitch } kind;
    bool outerActive;  // the lines around the block are taken
    bool active;       // its lines are taken
    bool matched;      // a branch (or case) was taken
    bool skipped;      // a #SKIP ended the taken cases
    long long value;   // the block's random number
  };
  struct Object {
    std::uint32_t measure, index, count;  // at index/count of the measure
    std::uint32_t value;
  };
  // One list per channel that counts (the 32 note channels, 03, 08, 09), in
  // line order: charts give each channel's measures in order nearly always,
  // so a list is sorted already and need not be sorted again.
  static constexpr int kSlots = 35;
  static int Slot(char a, char b);
  using SlotLists = std::array<std::vector<Object>, kSlots>;
  // Lists kept per thread from chart to chart, emptied: growing them anew
  // for every chart cost more than filling them.
  static SlotLists& SpareLists();

  bool Active() const { return deeper_ == 0 && (blocks_.empty() || blocks_.back().active); }
  bool ControlLine(std::string_view word, std::string_view rest);
  void Open(Block block);
  void CloseTo(Block::Kind kind);
  void HeaderLine(std::string_view line);
  void ChannelLine(std::string_view line);

  bool pms_;
  std::vector<Block> blocks_;
  std::size_t deeper_ = 0;  // blocks opened past the depth limit, not kept
  bool random_ = false;

  SlotLists slots_;
  // The measure of each slot's last line; while every line of a slot comes
  // after the one before, its objects are in order and no two share a place.
  std::array<int, kSlots> lastMeasure_ = MeasuresNone();
  std::bitset<kSlots> overlaid_;
  std::size_t objects_ = 0;
  static constexpr std::array<int, kSlots> MeasuresNone() {
    std::array<int, kSlots> a{};
    for (int& m : a) m = -1;
    return a;
  }
  std::array<double, kMeasures> measureLength_ = {};  // 0: not given
  std::array<double, kIds> bpmDefs_ = {};              // 0: not defined
  std::array<double, kIds> stopDefs_ = {};             // where stopDefined_ says so
  std::bitset<kIds> stopDefined_;
  std::bitset<kIds> lnObjects_;
  double initialBpm_ = 0;  // 0: none usable
  std::string total_;
  std::array<std::string, kIds> wavs_, bmps_;
};
