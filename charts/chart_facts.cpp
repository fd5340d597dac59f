// SPDX-License-Identifier: MIT
#include "charts/chart_facts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "charts/header_keys.h"
#include "platform/cp932.h"

namespace {

// Past this a length is no song's (a hostile #STOP): the column stays empty.
constexpr double kLongestSeconds = 100.0 * 3600;
// Tempo for a chart that gives none, as players assume.
constexpr double kDefaultBpm = 130;

// A file name in CP932, as the archive's names are.
std::string Cp932Name(const std::string& name, platform::TextEncoding encoding) {
  if (encoding == platform::TextEncoding::kCp932) return name;
  std::string out;
  if (platform::TryUtf8ToCp932AllowingTwins(platform::DecodeToUtf8(encoding, name), out)) return out;
  return name;
}

}  // namespace

std::string NumberText(double value) {
  if (!std::isfinite(value)) return {};
  char text[64];
  // Beyond any tempo a player meets, the digits stay few.
  if (std::fabs(value) >= 1e12) {
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
  }
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

std::string LengthText(double seconds) {
  const long long whole = std::llround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

std::optional<double> LengthSeconds(const ChartContent& content) {
  if (content.lastNoteBeat < 0 || !std::isfinite(content.lastNoteBeat)) return std::nullopt;
  const double end = content.lastNoteBeat;
  // A tempo change and a stop at one place: the new tempo first, so the stop
  // lasts by it.
  struct Event {
    double beat;
    bool stop;
    double value;
  };
  std::vector<Event> events;
  events.reserve(content.tempos.size() + content.stops.size());
  for (const auto& t : content.tempos)
    if (t.beat < end) events.push_back({t.beat, false, t.bpm});
  for (const auto& s : content.stops)
    if (s.beat < end) events.push_back({s.beat, true, s.beats});
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.beat < b.beat || (a.beat == b.beat && !a.stop && b.stop);
  });
  double bpm = content.initialBpm.value_or(kDefaultBpm);
  double beat = 0, seconds = 0;
  for (const Event& e : events) {
    const double at = std::max(e.beat, 0.0);
    seconds += (at - beat) * 60 / bpm;
    beat = at;
    if (e.stop)
      seconds += e.value * 60 / bpm;
    else
      bpm = e.value;
    if (!(seconds <= kLongestSeconds)) return std::nullopt;
  }
  seconds += (end - beat) * 60 / bpm;
  if (!(seconds <= kLongestSeconds)) return std::nullopt;
  return seconds;
}

ChartFacts ComputeFacts(const ChartContent& content, const ArchiveNames& names, std::string_view chartName,
                        platform::TextEncoding encoding) {
  ChartFacts facts;
  auto& t = facts.texts;
  if (content.notes > 0) t[fcKeys] = content.keys;
  t[fcNotes] = std::to_string(content.notes);
  t[fcTotal] = content.total;
  bool any = false;
  double low = 0, high = 0;
  auto take = [&](double bpm) {
    low = any ? std::min(low, bpm) : bpm;
    high = any ? std::max(high, bpm) : bpm;
    any = true;
  };
  if (content.initialBpm) take(*content.initialBpm);
  for (const auto& tempo : content.tempos) take(tempo.bpm);
  if (any) {
    t[fcBpmMin] = NumberText(low);
    t[fcBpmMax] = NumberText(high);
  }
  if (auto seconds = LengthSeconds(content)) t[fcLength] = LengthText(*seconds);

  // Where the chart lies in the archive; of charts of one name in several
  // folders, any may be this one.
  const std::vector<std::string> folders = names.Folders(chartName);
  std::unordered_set<std::string> seen;  // one count per file, however often it is named
  for (const std::string& name : content.fileNames) {
    if (name.empty()) continue;
    std::string folded = ArchiveNames::Folded(Cp932Name(name, encoding));
    const bool there = std::any_of(folders.begin(), folders.end(),
                                   [&](const std::string& f) { return names.HasFolded(f, folded); });
    if (!seen.insert(std::move(folded)).second) continue;
    if (!there) facts.missingNames.push_back(name);
  }
  t[fcMissing] = std::to_string(facts.missingNames.size());
  if (content.random) t[fcRandom] = kChartMark;
  return facts;
}
