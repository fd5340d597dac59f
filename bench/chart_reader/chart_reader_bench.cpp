// SPDX-License-Identifier: MIT
// Header reading throughput on charts of realistic shape, and sorting a
// large list by a text column.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "charts/chart_list.h"
#include "charts/chart_reader.h"

namespace {

// A chart as they come: a header of a few hundred lines (Shift-JIS title,
// sound and image definitions), then thousands of channel lines.
std::string MakeChart(unsigned seed, int channelLines) {
  std::mt19937 rng(seed);
  std::string s = "\r\n*---------------------- HEADER FIELD\r\n\r\n#PLAYER 1\r\n#GENRE HAPPY HARDCORE\r\n";
  s += "#TITLE \x8B\xC8\x96\xBC\x83\x65\x83\x58\x83\x67 [ANOTHER]\r\n";  // 曲名テスト
  s += "#ARTIST \x83\x41\x81\x5B\x83\x65\x83\x42\x83\x58\x83\x67\r\n#BPM 174\r\n#PLAYLEVEL 11\r\n#RANK 2\r\n";
  char line[128];
  for (int i = 1; i < 300; ++i) {
    std::snprintf(line, sizeof line, "#WAV%02X kick_%03d.wav\r\n", i, i);
    s += line;
  }
  for (int i = 1; i < 60; ++i) {
    std::snprintf(line, sizeof line, "#BMP%02X bga_%03d.bmp\r\n", i, i);
    s += line;
  }
  s += "\r\n*---------------------- MAIN DATA FIELD\r\n\r\n";
  for (int i = 0; i < channelLines; ++i) {
    std::snprintf(line, sizeof line, "#%03d%02d:", i / 8, 11 + i % 8);
    s += line;
    int notes = 4 << (rng() % 4);
    for (int n = 0; n < notes; ++n) {
      std::snprintf(line, sizeof line, "%02X", static_cast<unsigned>(rng() % 3 ? 0 : 1 + rng() % 255));
      s += line;
    }
    s += "\r\n";
  }
  return s;
}

// A chart like those of the song collection bench/collection/make_songs.py
// makes (30 to 120 KB): Shift-JIS sound names on every #WAV line, so the
// encoding sniffer sees hundreds of non-ASCII lines, then note lines.
std::string MakeSongChart(unsigned seed) {
  std::mt19937 rng(seed);
  // ドラム, ベース, シンセ, ピアノ, ボーカル in Shift-JIS.
  const char* const kinds[] = {"\x83\x68\x83\x89\x83\x80", "\x83\x78\x81\x5B\x83\x58", "\x83\x56\x83\x93\x83\x5A",
                               "\x83\x73\x83\x41\x83\x6D", "\x83\x7B\x81\x5B\x83\x4A\x83\x8B"};
  auto b36 = [](int n) {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return std::string{digits[n / 36 % 36], digits[n % 36]};
  };
  std::string s = "\r\n*---------------------- HEADER FIELD\r\n#PLAYER 1\r\n#GENRE \x83\x68\x83\x89\x83\x80\r\n";
  s += "#TITLE \x96\xC0\x8B\x7B\x8D\xF7 1 [N]\r\n#ARTIST obj. \x93\xBD\x96\xBC\r\n#BPM 155\r\n#PLAYLEVEL 5\r\n";
  s += "#RANK 2\r\n#TOTAL 463\r\n#STAGEFILE stagefile.png\r\n\r\n";
  const int sounds = 150 + static_cast<int>(rng() % 250);
  char line[128];
  for (int i = 1; i <= sounds; ++i) {
    std::snprintf(line, sizeof line, "%s_%03d.%s", kinds[rng() % 5], i - 1, rng() % 4 ? "ogg" : "wav");
    s += "#WAV" + b36(i) + " " + line + "\r\n";
  }
  for (int i = 1; i <= 3; ++i) s += "#BMP" + b36(i) + " bga_" + std::to_string(i) + ".bmp\r\n";
  s += "\r\n*---------------------- MAIN DATA FIELD\r\n\r\n";
  const std::size_t target = 30000 + rng() % 90000;
  const int channels[] = {11, 12, 13, 14, 15, 18, 19, 1};
  for (int measure = 0; s.size() < target; ++measure)
    for (int channel : channels) {
      std::snprintf(line, sizeof line, "#%03d%02d:", measure % 1000, channel);
      s += line;
      for (int n = 4 << (rng() % 3); n > 0; --n) s += rng() % 10 < 4 ? b36(1 + static_cast<int>(rng() % sounds)) : "00";
      s += "\r\n";
    }
  return s;
}

class ChartFiles {
 public:
  ChartFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bmslist-bench-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
  }
  ~ChartFiles() { std::filesystem::remove_all(dir_); }
  std::string Add(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

 private:
  std::string dir_;
};

void BM_ReadChart(benchmark::State& state) {
  ChartFiles files;
  std::vector<std::string> paths;
  std::size_t bytes = 0;
  for (unsigned i = 0; i < 16; ++i) {
    std::string chart = MakeChart(i, static_cast<int>(state.range(0)));
    bytes += chart.size();
    paths.push_back(files.Add("chart" + std::to_string(i) + ".bms", chart));
  }
  for (auto _ : state) {
    for (const std::string& p : paths) {
      ChartRow row;
      ReadChart(row, p, ChartReadOptions{state.range(1) != 0});
      benchmark::DoNotOptimize(row);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
// Second argument: with MD5 and SHA-256 of every file (as the window reads).
BENCHMARK(BM_ReadChart)->Args({3000, 0})->Args({3000, 1})->Args({100000, 0})->Unit(benchmark::kMillisecond);

// Charts of the song collection's shape: the header only (0), with the
// hashes (1), with the facts (2).
void BM_ReadSongChart(benchmark::State& state) {
  ChartFiles files;
  std::vector<std::string> paths;
  std::size_t bytes = 0;
  for (unsigned i = 0; i < 32; ++i) {
    std::string chart = MakeSongChart(i);
    bytes += chart.size();
    paths.push_back(files.Add("song" + std::to_string(i) + ".bms", chart));
  }
  for (auto _ : state) {
    for (const std::string& p : paths) {
      ChartRow row;
      ReadChart(row, p, ChartReadOptions{state.range(0) == 1, state.range(0) == 2});
      benchmark::DoNotOptimize(row);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * paths.size()));
}
BENCHMARK(BM_ReadSongChart)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// One line of 64 MB: only its start is kept.
void BM_ReadChartHugeLine(benchmark::State& state) {
  ChartFiles files;
  std::string text = "#TITLE " + std::string(64 << 20, 'x') + "\r\n#BPM 150\r\n";
  std::string path = files.Add("huge.bms", text);
  for (auto _ : state) {
    ChartRow row;
    ReadChart(row, path);
    benchmark::DoNotOptimize(row);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadChartHugeLine)->Unit(benchmark::kMillisecond);

void BM_SortByTitle(benchmark::State& state) {
  std::mt19937 rng(7);
  const std::string syllables[] = {"a", "Ka", "ki", "SU", "\x83\x41", "\x83\x4A", "\x8B\xC8", "1", "9", " ", "x"};
  ChartList list;
  for (int i = 0; i < state.range(0); ++i) {
    std::size_t r = list.Append();
    std::string title;
    for (int n = 3 + static_cast<int>(rng() % 12); n > 0; --n) title += syllables[rng() % std::size(syllables)];
    list.SetSubItem(r, siTitle, title);
  }
  for (auto _ : state) list.ColumnClick(3);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}
BENCHMARK(BM_SortByTitle)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
