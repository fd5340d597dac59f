// SPDX-License-Identifier: MIT
// Packing song folders into LZH: UNLHA32.DLL ("a", -lh5-) against jlha
// ("jlha a", -lh5-) on the same files. Songs hold text charts, which
// compress well, and sounds: PCM-like waves with noise (compress somewhat)
// and already compressed streams (do not). Counters: ratio = archive size /
// input size; MB/s from the bytes processed.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "archiver_api.h"
#include "platform/dynlib.h"

namespace {

std::string g_root;
std::int64_t g_inputBytes = 0;

int Sh(const std::string& cmd) { return std::system(("{ " + cmd + " ; } >/dev/null 2>&1").c_str()); }

void Write(const std::string& path, const std::string& s) {
  std::ofstream(path, std::ios::binary).write(s.data(), static_cast<std::streamsize>(s.size()));
  g_inputBytes += static_cast<std::int64_t>(s.size());
}

std::string Chart(std::size_t size, std::mt19937& rng) {
  std::string s = "#PLAYER 1\r\n#GENRE TECHNO\r\n#TITLE song\r\n#BPM 150\r\n";
  while (s.size() < size) {
    char line[64];
    std::snprintf(line, sizeof line, "#%03u%02u:%02X%02X%02X%02X\r\n", unsigned(rng() % 200), unsigned(11 + rng() % 9),
                  unsigned(rng() % 40), 0u, unsigned(rng() % 40), 0u);
    s += line;
  }
  return s;
}

// 16-bit PCM: two tones and a little noise.
std::string Wave(std::size_t size, std::mt19937& rng) {
  std::string s(size, '\0');
  std::normal_distribution<double> noise(0, 300);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    double t = static_cast<double>(i / 2);
    int v = static_cast<int>(8000 * std::sin(t * 0.031) + 3000 * std::sin(t * 0.173) + noise(rng));
    s[i] = static_cast<char>(v & 0xFF);
    s[i + 1] = static_cast<char>((v >> 8) & 0xFF);
  }
  return s;
}

std::string Noise(std::size_t size, std::mt19937& rng) {
  std::string s(size, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

// Two songs: four charts, four 400 KB wave sounds and one 1.5 MB
// compressed stream each; about 5 MB in all.
const std::string& Root() {
  if (!g_root.empty()) return g_root;
  char tmpl[] = "/tmp/lzhbenchXXXXXX";
  g_root = std::string(mkdtemp(tmpl)) + "/";
  std::mt19937 rng(7);
  for (int song = 0; song < 2; ++song) {
    std::string dir = g_root + "src/song" + std::to_string(song) + "/";
    Sh("mkdir -p " + dir);
    for (int k = 0; k < 4; ++k) Write(dir + "chart" + std::to_string(k) + ".bms", Chart(40000, rng));
    for (int k = 0; k < 4; ++k) Write(dir + "snd" + std::to_string(k) + ".wav", Wave(400000, rng));
    Write(dir + "bgm.ogg", Noise(1500000, rng));
  }
  return g_root;
}

std::int64_t FileSize(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

void Finish(benchmark::State& state, const std::string& archive) {
  state.SetBytesProcessed(state.iterations() * g_inputBytes);
  state.counters["ratio"] = static_cast<double>(FileSize(archive)) / static_cast<double>(g_inputBytes);
}

void BM_Unlha32(benchmark::State& state) {
  const std::string& root = Root();
  auto lib = platform::LoadLibrary("UNLHA32.DLL");
  auto fn = lib ? reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(lib, "Unlha")) : nullptr;
  if (!fn) {
    state.SkipWithError("UNLHA32.DLL not found beside the benchmark");
    return;
  }
  std::string archive = root + "ours.lzh";
  std::string line = "a -+ -r1 -x1 \"" + archive + "\" \"" + root + "src/\" \"*.*\"";
  for (auto _ : state) {
    unlink(archive.c_str());
    if (fn(0, line.c_str(), nullptr, 0) != 0) state.SkipWithError("Unlha failed");
  }
  Finish(state, archive);
}

void BM_Jlha(benchmark::State& state) {
  const std::string& root = Root();
  if (Sh("command -v jlha") != 0) {
    state.SkipWithError("jlha not installed");
    return;
  }
  std::string archive = root + "jlha.lzh";
  for (auto _ : state) {
    unlink(archive.c_str());
    if (Sh("cd " + root + "src && jlha a " + archive + " $(find . -type f | sort)") != 0)
      state.SkipWithError("jlha failed");
  }
  Finish(state, archive);
}

BENCHMARK(BM_Unlha32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Jlha)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
