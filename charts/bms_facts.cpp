#include "charts/bms_facts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "charts/header_keys.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// `line` (after its '#') starts with `word` in any letter case.
bool StartsWith(std::string_view line, std::string_view word) {
  if (line.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (Upper(line[i]) != word[i]) return false;
  return true;
}

int Base36(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Upper(c);
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

int Hex(char c) {
  const int v = Base36(c);
  return v < 16 ? v : -1;
}

// Two base-36 characters as an object id; -1 when they are none.
int Id(std::string_view s) {
  if (s.size() < 2) return -1;
  const int a = Base36(s[0]), b = Base36(s[1]);
  return a < 0 || b < 0 ? -1 : a * 36 + b;
}

// A plain decimal at the start of `s` ("150", "-2", "133.5"): no exponent,
// no "inf" or "nan", nothing past what a double holds.
std::optional<double> Number(std::string_view s) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
  if (ec != std::errc() || end == s.data() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<long long> Integer(std::string_view s) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  long long v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end == s.data()) return std::nullopt;
  return v;
}

constexpr std::uint16_t Channel(char a, char b) {
  return static_cast<std::uint16_t>((static_cast<unsigned char>(a) << 8) | static_cast<unsigned char>(b));
}

// Channels 1x and 2x (visible), 5x and 6x (long notes) of the keys and the
// scratch: x in 1-6, 8, 9. Channel 17/27 and the others are no notes.
bool IsNoteChannel(std::uint16_t channel) {
  const char a = static_cast<char>(channel >> 8), b = static_cast<char>(channel & 0xFF);
  return (a == '1' || a == '2' || a == '5' || a == '6') && ((b >= '1' && b <= '6') || b == '8' || b == '9');
}
bool IsLongNoteChannel(std::uint16_t channel) { return (channel >> 8) == '5' || (channel >> 8) == '6'; }
bool IsSecondPlayer(std::uint16_t channel) { return (channel >> 8) == '2' || (channel >> 8) == '6'; }
bool IsSevenKeyLane(std::uint16_t channel) { return (channel & 0xFF) == '8' || (channel & 0xFF) == '9'; }

constexpr std::uint16_t kMeasureLength = Channel('0', '2');
constexpr std::uint16_t kHexTempo = Channel('0', '3');
constexpr std::uint16_t kTempoRef = Channel('0', '8');
constexpr std::uint16_t kStopRef = Channel('0', '9');

}  // namespace

void BmsFactsReader::AddLine(std::string_view line) {
  if (line.size() < 2 || line[0] != '#') return;
  if (line.size() > kFactLineBytes) line = line.substr(0, kFactLineBytes);
  const std::string_view body = line.substr(1);
  // Channel data is nearly every line of a chart: it goes first.
  if (body[0] >= '0' && body[0] <= '9') {
    if (Active()) ChannelLine(body);
    return;
  }
  std::size_t end = 0;
  while (end < body.size() && !IsBlank(body[end])) ++end;
  if (ControlLine(body.substr(0, end), body.substr(end))) return;
  if (Active()) HeaderLine(body);
}

void BmsFactsReader::Open(Block block) {
  if (deeper_ > 0 || blocks_.size() >= kMaxBlockDepth) {
    ++deeper_;
    return;
  }
  blocks_.push_back(block);
}

void BmsFactsReader::CloseTo(Block::Kind kind) {
  if (deeper_ > 0) {
    --deeper_;
    return;
  }
  // Closing a block closes what was left open inside it; a close without
  // its block is passed over.
  auto it = std::find_if(blocks_.rbegin(), blocks_.rend(), [kind](const Block& b) { return b.kind == kind; });
  if (it != blocks_.rend()) blocks_.erase(std::prev(it.base()), blocks_.end());
}

bool BmsFactsReader::ControlLine(std::string_view word, std::string_view rest) {
  auto is = [&word](std::string_view name) { return word.size() == name.size() && StartsWith(word, name); };
  const bool active = Active();
  if (is("RANDOM") || is("RONDAM") || is("SETRANDOM")) {
    const bool set = is("SETRANDOM");
    if (!set) random_ = true;
    // The first branch: random numbers are taken as 1.
    long long value = Integer(rest).value_or(0);
    if (!set) value = value >= 1 ? 1 : 0;
    // A #RANDOM right inside another at the same level replaces it, as
    // charts that never close their blocks expect.
    if (deeper_ == 0 && !blocks_.empty() && blocks_.back().kind == Block::kRandom) {
      blocks_.back().value = value;
      return true;
    }
    Open({Block::kRandom, active, active, false, false, value});
    return true;
  }
  if (is("ENDRANDOM")) {
    CloseTo(Block::kRandom);
    return true;
  }
  if (is("IF")) {
    long long value = 0;
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it)
      if (it->kind == Block::kRandom) {
        value = it->value;
        break;
      }
    const bool match = Integer(rest) == value;
    Open({Block::kIf, active, active && match, match, false, value});
    return true;
  }
  if (is("ELSEIF") || is("ELSE")) {
    if (deeper_ > 0 || blocks_.empty() || blocks_.back().kind != Block::kIf) return true;
    Block& b = blocks_.back();
    const bool match = !b.matched && (is("ELSE") || Integer(rest) == b.value);
    b.active = b.outerActive && match;
    b.matched = b.matched || match;
    return true;
  }
  if (is("ENDIF") || is("END")) {
    if (is("END") && !StartsWith(Trim(rest), "IF")) return false;
    if (deeper_ > 0)
      --deeper_;
    else if (!blocks_.empty() && blocks_.back().kind == Block::kIf)
      blocks_.pop_back();
    return true;
  }
  if (is("SWITCH") || is("SETSWITCH")) {
    long long value = Integer(rest).value_or(0);
    if (is("SWITCH")) {
      random_ = true;
      value = value >= 1 ? 1 : 0;
    }
    Open({Block::kSwitch, active, false, false, false, value});
    return true;
  }
  if (is("CASE") || is("DEF")) {
    if (deeper_ > 0 || blocks_.empty() || blocks_.back().kind != Block::kSwitch) return is("CASE");
    Block& b = blocks_.back();
    // A taken case runs on through the next ones until #SKIP.
    if (!b.active && !b.skipped) {
      const bool match = is("DEF") ? !b.matched : Integer(rest) == b.value;
      if (match) {
        b.active = b.outerActive;
        b.matched = true;
      }
    }
    return true;
  }
  if (is("SKIP")) {
    if (deeper_ == 0 && !blocks_.empty() && blocks_.back().kind == Block::kSwitch && blocks_.back().matched) {
      blocks_.back().active = false;
      blocks_.back().skipped = true;
    }
    return true;
  }
  if (is("ENDSW")) {
    CloseTo(Block::kSwitch);
    return true;
  }
  return false;
}

void BmsFactsReader::HeaderLine(std::string_view body) {
  // Values stop where a header value stops.
  auto value = [&body](std::size_t keyLength) { return Trim(body.substr(keyLength, kMaxValueBytes)); };
  if (StartsWith(body, "BPM")) {
    if (body.size() > 3 && IsBlank(body[3])) {
      const auto v = Number(body.substr(3));
      initialBpm_ = v && *v > 0 ? *v : 0;
    } else if (const int id = Id(body.substr(3)); id >= 0) {
      const auto v = Number(body.substr(5));
      bpmDefs_[static_cast<std::size_t>(id)] = v && *v > 0 ? *v : 0;
    }
  } else if (StartsWith(body, "EXBPM")) {
    if (const int id = Id(body.substr(5)); id >= 0) {
      const auto v = Number(body.substr(7));
      bpmDefs_[static_cast<std::size_t>(id)] = v && *v > 0 ? *v : 0;
    }
  } else if (StartsWith(body, "STOP")) {
    if (const int id = Id(body.substr(4)); id >= 0) {
      const auto v = Number(body.substr(6));
      stopDefined_[static_cast<std::size_t>(id)] = v && *v >= 0;
      if (v) stopDefs_[static_cast<std::size_t>(id)] = *v;
    }
  } else if (StartsWith(body, "LNOBJ")) {
    if (const int id = Id(Trim(body.substr(5))); id > 0) lnObjects_.set(static_cast<std::size_t>(id));
  } else if (StartsWith(body, "TOTAL") && (body.size() == 5 || IsBlank(body[5]))) {
    total_ = value(5);
  } else if (StartsWith(body, "WAV")) {
    if (const int id = Id(body.substr(3)); id >= 0) wavs_[static_cast<std::size_t>(id)] = value(5);
  } else if (StartsWith(body, "BMP")) {
    if (const int id = Id(body.substr(3)); id >= 0) bmps_[static_cast<std::size_t>(id)] = value(5);
  }
}

void BmsFactsReader::ChannelLine(std::string_view body) {
  // "mmmcc:data"
  if (body.size() < 6 || body[5] != ':') return;
  int measure = 0;
  for (int i = 0; i < 3; ++i) {
    if (body[static_cast<std::size_t>(i)] < '0' || body[static_cast<std::size_t>(i)] > '9') return;
    measure = measure * 10 + (body[static_cast<std::size_t>(i)] - '0');
  }
  const std::uint16_t channel = Channel(Upper(body[3]), Upper(body[4]));
  std::string_view data = Trim(body.substr(6));
  if (channel == kMeasureLength) {
    // A measure from a thousandth to a thousand times the usual: beyond that
    // a value is damage, not a chart.
    const auto v = Number(data);
    if (v && *v >= 0.001 && *v <= 1000) measureLength_[static_cast<std::size_t>(measure)] = *v;
    return;
  }
  const bool hex = channel == kHexTempo;
  if (!hex && channel != kTempoRef && channel != kStopRef && !IsNoteChannel(channel)) return;
  const std::size_t count = data.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    if (objects_.size() >= kMaxObjects) return;
    const char a = data[2 * i], b = data[2 * i + 1];
    int v;
    if (hex) {
      const int h = Hex(a), l = Hex(b);
      v = h < 0 || l < 0 ? 0 : h * 16 + l;
    } else {
      v = Id(data.substr(2 * i, 2));
    }
    if (v <= 0) continue;
    objects_.push_back({static_cast<std::uint32_t>(measure), static_cast<std::uint32_t>(i),
                        static_cast<std::uint32_t>(count), order_++, channel, static_cast<std::uint16_t>(v)});
  }
}

ChartContent BmsFactsReader::Finish() const {
  ChartContent c;
  if (initialBpm_ > 0) c.initialBpm = initialBpm_;
  c.total = total_;
  c.random = random_;
  for (const auto* names : {&wavs_, &bmps_})
    for (const std::string& n : *names)
      if (!n.empty()) c.fileNames.push_back(n);

  std::array<double, kMeasures + 1> start{};  // the beat each measure starts at
  for (int m = 0; m < kMeasures; ++m) {
    const double length = measureLength_[static_cast<std::size_t>(m)];
    start[static_cast<std::size_t>(m) + 1] = start[static_cast<std::size_t>(m)] + 4 * (length > 0 ? length : 1);
  }
  auto beatOf = [&](const Object& o) {
    const double length = measureLength_[o.measure];
    return start[o.measure] + 4 * (length > 0 ? length : 1) * o.index / o.count;
  };
  // Channel, then place in time; one object per place, the last line's.
  auto place = [](const Object& a, const Object& b) {
    if (a.channel != b.channel) return a.channel < b.channel ? -1 : 1;
    if (a.measure != b.measure) return a.measure < b.measure ? -1 : 1;
    const std::uint64_t x = std::uint64_t{a.index} * b.count, y = std::uint64_t{b.index} * a.count;
    return x < y ? -1 : x > y ? 1 : 0;
  };
  std::vector<Object> objects = objects_;
  std::sort(objects.begin(), objects.end(), [&](const Object& a, const Object& b) {
    const int p = place(a, b);
    return p != 0 ? p < 0 : a.order < b.order;
  });
  std::vector<Object> unique;
  unique.reserve(objects.size());
  for (const Object& o : objects) {
    if (!unique.empty() && place(unique.back(), o) == 0)
      unique.back() = o;
    else
      unique.push_back(o);
  }

  bool secondPlayer = false, sevenKeys = false;
  std::uint16_t channel = 0;
  bool open = false;  // a long note started and not yet ended, in `channel`
  bool noteBefore = false;  // the channel's last object was a note that #LNOBJ may end
  for (const Object& o : unique) {
    const double beat = beatOf(o);
    if (o.channel == kHexTempo) {
      c.tempos.push_back({beat, static_cast<double>(o.value)});
      continue;
    }
    if (o.channel == kTempoRef) {
      if (bpmDefs_[o.value] > 0) c.tempos.push_back({beat, bpmDefs_[o.value]});
      continue;
    }
    if (o.channel == kStopRef) {
      // A stop is given in 192nds of a four-beat measure.
      if (stopDefined_[o.value]) c.stops.push_back({beat, stopDefs_[o.value] / 48});
      continue;
    }
    if (o.channel != channel) {
      channel = o.channel;
      open = noteBefore = false;
    }
    bool counted = false;
    if (IsLongNoteChannel(o.channel)) {
      // Long notes come in pairs: start, end.
      counted = !open;
      open = !open;
    } else if (lnObjects_[o.value]) {
      // Ends the long note the channel's note before it started.
      if (!noteBefore) continue;
      noteBefore = false;
    } else {
      counted = noteBefore = true;
    }
    c.lastNoteBeat = std::max(c.lastNoteBeat, beat);
    if (!counted) continue;
    ++c.notes;
    secondPlayer = secondPlayer || IsSecondPlayer(o.channel);
    sevenKeys = sevenKeys || IsSevenKeyLane(o.channel);
  }
  if (pms_)
    c.keys = "9K";
  else if (secondPlayer)
    c.keys = sevenKeys ? "14K" : "10K";
  else
    c.keys = sevenKeys ? "7K" : "5K";
  return c;
}
