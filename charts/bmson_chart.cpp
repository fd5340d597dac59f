// SPDX-License-Identifier: MIT
#include "charts/bmson_chart.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "charts/header_keys.h"

namespace {

using nlohmann::json;

// The bmson format's own default.
constexpr double kDefaultResolution = 240;

const json* Member(const json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::optional<double> NumberAt(const json& object, const char* key) {
  const json* v = Member(object, key);
  if (!v || !v->is_number()) return std::nullopt;
  const double d = v->get<double>();
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

std::string TextAt(const json& object, const char* key) {
  const json* v = Member(object, key);
  return v && v->is_string() ? v->get<std::string>() : std::string();
}

// As a header value is kept: ends trimmed of control bytes and blanks, at
// most kMaxValueBytes, cut at a character's start.
std::string HeaderValue(std::string s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  s = s.substr(b, e - b);
  if (s.size() > kMaxValueBytes) {
    std::size_t cut = kMaxValueBytes;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    s.resize(cut);
  }
  return s;
}

const json& ArrayAt(const json& object, const char* key) {
  static const json empty = json::array();
  const json* v = Member(object, key);
  return v && v->is_array() ? *v : empty;
}

// "beat-7k" gives "7K"; a mode without a key count gives none.
std::string KeysOfMode(const std::string& mode) {
  const std::size_t dash = mode.rfind('-');
  std::string count = mode.substr(dash == std::string::npos ? 0 : dash + 1);
  if (count.size() < 2 || count.size() > 4 || (count.back() != 'k' && count.back() != 'K')) return {};
  count.pop_back();
  if (!std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; })) return {};
  return count + "K";
}

}  // namespace

bool ParseBmson(std::string_view text, BmsonChart& out) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const json doc = json::parse(text.begin(), text.end(), nullptr, false);
  if (!doc.is_object()) return false;
  const json* infoMember = Member(doc, "info");
  static const json none = json::object();
  const json& info = infoMember && infoMember->is_object() ? *infoMember : none;

  std::string mode = TextAt(info, "mode_hint");
  if (mode.empty()) mode = "beat-7k";
  std::string title = TextAt(info, "title");
  if (std::string subtitle = TextAt(info, "subtitle"); !subtitle.empty()) title += (title.empty() ? "" : " ") + subtitle;
  out.header[0] = HeaderValue(TextAt(info, "artist"));
  out.header[1] = HeaderValue(TextAt(info, "genre"));
  out.header[2] = HeaderValue(title);
  if (auto level = NumberAt(info, "level")) out.header[3] = NumberText(*level);
  out.header[4] = mode == "beat-10k" || mode == "beat-14k" ? "3" : "1";

  ChartContent& c = out.content;
  if (auto bpm = NumberAt(info, "init_bpm")) {
    out.header[5] = NumberText(*bpm);
    if (*bpm > 0) c.initialBpm = *bpm;
  }
  if (auto total = NumberAt(info, "total")) c.total = NumberText(*total);
  c.keys = KeysOfMode(mode);
  double resolution = NumberAt(info, "resolution").value_or(kDefaultResolution);
  if (!(resolution > 0)) resolution = kDefaultResolution;

  for (const json& e : ArrayAt(doc, "bpm_events")) {
    auto y = NumberAt(e, "y");
    auto bpm = NumberAt(e, "bpm");
    if (y && bpm && *y >= 0 && *bpm > 0) c.tempos.push_back({*y / resolution, *bpm});
  }
  for (const json& e : ArrayAt(doc, "stop_events")) {
    auto y = NumberAt(e, "y");
    auto duration = NumberAt(e, "duration");
    if (y && duration && *y >= 0 && *duration >= 0) c.stops.push_back({*y / resolution, *duration / resolution});
  }
  for (const json& channel : ArrayAt(doc, "sound_channels")) {
    if (std::string name = TextAt(channel, "name"); !name.empty()) {
      out.sounds = true;
      c.fileNames.push_back(std::move(name));
    }
    for (const json& note : ArrayAt(channel, "notes")) {
      // Lane 0 (or none) is the background: no note.
      auto lane = NumberAt(note, "x");
      auto y = NumberAt(note, "y");
      if (!lane || *lane < 1 || !y || *y < 0) continue;
      ++c.notes;
      const double length = std::max(NumberAt(note, "l").value_or(0), 0.0);
      c.lastNoteBeat = std::max(c.lastNoteBeat, (*y + length) / resolution);
    }
  }
  if (const json* bga = Member(doc, "bga"))
    for (const json& image : ArrayAt(*bga, "bga_header"))
      if (std::string name = TextAt(image, "name"); !name.empty()) {
        out.images = true;
        c.fileNames.push_back(std::move(name));
      }
  return true;
}
