// SPDX-License-Identifier: MIT
#include "charts/bms_facts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

constexpr std::array<std::int8_t, 256> Base36Table() {
  std::array<std::int8_t, 256> t{};
  for (auto& v : t) v = -1;
  for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - '0');
  for (int c = 'A'; c <= 'Z'; ++c) {
    t[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'A' + 10);
    t[static_cast<std::size_t>(c - 'A' + 'a')] = static_cast<std::int8_t>(c - 'A' + 10);
  }
  return t;
}
constexpr std::array<std::int8_t, 256> kBase36 = Base36Table();

int Base36(char c) { return kBase36[static_cast<unsigned char>(c)]; }

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

constexpr int kHexTempoSlot = 32, kTempoRefSlot = 33, kStopRefSlot = 34;

// Slots 0 to 31 are the note channels: 1x and 2x (visible), 5x and 6x (long
// notes) of the keys and the scratch, x in 1-6, 8, 9. Channel 17/27 and the
// others are no notes.
bool IsLongNoteSlot(int slot) { return slot >= 16 && slot < 32; }
bool IsSecondPlayerSlot(int slot) { return slot < 32 && (slot / 8) % 2 == 1; }
bool IsSevenKeySlot(int slot) { return slot < 32 && slot % 8 >= 6; }

}  // namespace

int BmsFactsReader::Slot(char a, char b) {
  if (a == '0') return b == '3' ? kHexTempoSlot : b == '8' ? kTempoRefSlot : b == '9' ? kStopRefSlot : -1;
  int side;
  switch (a) {
    case '1': side = 0; break;
    case '2': side = 1; break;
    case '5': side = 2; break;
    case '6': side = 3; break;
    default: return -1;
  }
  int lane;
  if (b >= '1' && b <= '6')
    lane = b - '1';
  else if (b == '8' || b == '9')
    lane = b - '8' + 6;
  else
    return -1;
  return side * 8 + lane;
}

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

BmsFactsReader::SlotLists& BmsFactsReader::SpareLists() {
  thread_local SlotLists spare;
  return spare;
}

BmsFactsReader::BmsFactsReader(bool pms) : pms_(pms) { slots_.swap(SpareLists()); }

BmsFactsReader::~BmsFactsReader() {
  // What a huge chart grew is given back rather than kept.
  constexpr std::size_t kKept = 1 << 16;
  for (std::vector<Object>& objects : slots_) {
    objects.clear();
    if (objects.capacity() > kKept) std::vector<Object>().swap(objects);
  }
  slots_.swap(SpareLists());
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
  std::string_view data = Trim(body.substr(6));
  if (body[3] == '0' && body[4] == '2') {
    // A measure from a thousandth to a thousand times the usual: beyond that
    // a value is damage, not a chart.
    const auto v = Number(data);
    if (v && *v >= 0.001 && *v <= 1000) measureLength_[static_cast<std::size_t>(measure)] = *v;
    return;
  }
  const int slot = Slot(body[3], body[4]);
  if (slot < 0) return;
  const bool hex = slot == kHexTempoSlot;
  std::vector<Object>& objects = slots_[static_cast<std::size_t>(slot)];
  int& last = lastMeasure_[static_cast<std::size_t>(slot)];
  if (measure <= last) overlaid_.set(static_cast<std::size_t>(slot));
  last = measure;
  const std::size_t count = data.size() / 2;
  auto take = [&](std::size_t i) {
    const int high = Base36(data[2 * i]), low = Base36(data[2 * i + 1]);
    int v;
    if (hex)
      v = high < 0 || low < 0 || high >= 16 || low >= 16 ? 0 : high * 16 + low;
    else
      v = high < 0 || low < 0 ? 0 : high * 36 + low;
    if (v <= 0 || objects_ >= kMaxObjects) return;
    objects.push_back({static_cast<std::uint32_t>(measure), static_cast<std::uint32_t>(i),
                       static_cast<std::uint32_t>(count), static_cast<std::uint32_t>(v)});
    ++objects_;
  };
  std::size_t i = 0;
#if defined(__SSE2__)
  // Most places of a line are "00": eight pairs at a time are looked at,
  // and only the others decoded.
  const __m128i zero = _mm_set1_epi8('0');
  for (; i + 8 <= count; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data.data() + 2 * i));
    const unsigned zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
    for (unsigned used = ~(zeros & (zeros >> 1)) & 0x5555u; used != 0; used &= used - 1)
      take(i + static_cast<std::size_t>(__builtin_ctz(used)) / 2);
  }
#endif
  for (; i < count; ++i)
    if (data[2 * i] != '0' || data[2 * i + 1] != '0') take(i);
}

ChartContent BmsFactsReader::Finish() {
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
  auto place = [](const Object& a, const Object& b) {
    if (a.measure != b.measure) return a.measure < b.measure ? -1 : 1;
    const std::uint64_t x = std::uint64_t{a.index} * b.count, y = std::uint64_t{b.index} * a.count;
    return x < y ? -1 : x > y ? 1 : 0;
  };
  auto before = [&place](const Object& a, const Object& b) { return place(a, b) < 0; };

  bool secondPlayer = false, sevenKeys = false;
  for (int slot = 0; slot < kSlots; ++slot) {
    std::vector<Object>& objects = slots_[static_cast<std::size_t>(slot)];
    if (objects.empty()) continue;
    if (overlaid_[static_cast<std::size_t>(slot)]) {
      // In time order; at one place the last line's object, which a stable
      // sort keeps last.
      std::stable_sort(objects.begin(), objects.end(), before);
      std::size_t kept = 0;
      for (std::size_t i = 0; i < objects.size(); ++i) {
        if (kept > 0 && place(objects[kept - 1], objects[i]) == 0)
          objects[kept - 1] = objects[i];
        else
          objects[kept++] = objects[i];
      }
      objects.resize(kept);
    }
    if (slot < 32 && (IsLongNoteSlot(slot) || lnObjects_.none())) {
      // The usual case needs no walk: the count, and the last object's place.
      const std::size_t counted = IsLongNoteSlot(slot) ? (objects.size() + 1) / 2 : objects.size();
      c.notes += counted;
      c.lastNoteBeat = std::max(c.lastNoteBeat, beatOf(objects.back()));
      secondPlayer = secondPlayer || IsSecondPlayerSlot(slot);
      sevenKeys = sevenKeys || IsSevenKeySlot(slot);
      continue;
    }

    bool open = false;        // a long note started and not yet ended
    bool noteBefore = false;  // the last object was a note that #LNOBJ may end
    for (const Object& o : objects) {
      const double beat = beatOf(o);
      if (slot == kHexTempoSlot) {
        c.tempos.push_back({beat, static_cast<double>(o.value)});
        continue;
      }
      if (slot == kTempoRefSlot) {
        if (bpmDefs_[o.value] > 0) c.tempos.push_back({beat, bpmDefs_[o.value]});
        continue;
      }
      if (slot == kStopRefSlot) {
        // A stop is given in 192nds of a four-beat measure.
        if (stopDefined_[o.value]) c.stops.push_back({beat, stopDefs_[o.value] / 48});
        continue;
      }
      bool counted = false;
      if (IsLongNoteSlot(slot)) {
        // Long notes come in pairs: start, end.
        counted = !open;
        open = !open;
      } else if (lnObjects_[o.value]) {
        // Ends the long note the note before it started.
        if (!noteBefore) continue;
        noteBefore = false;
      } else {
        counted = noteBefore = true;
      }
      c.lastNoteBeat = std::max(c.lastNoteBeat, beat);
      if (!counted) continue;
      ++c.notes;
      secondPlayer = secondPlayer || IsSecondPlayerSlot(slot);
      sevenKeys = sevenKeys || IsSevenKeySlot(slot);
    }
  }
  if (pms_)
    c.keys = "9K";
  else if (secondPlayer)
    c.keys = sevenKeys ? "14K" : "10K";
  else
    c.keys = sevenKeys ? "7K" : "5K";
  return c;
}
