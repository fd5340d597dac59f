// SPDX-License-Identifier: MIT
// Each library extracting a set of song archives (mostly incompressible
// "audio", some text charts; about 30 MB unpacked) against bsdtar -x on the
// same archive (arj x for ARJ). The counter vs_reference is library time /
// reference time (below 1 means faster).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "archiver_api.h"
#include "platform/dynlib.h"

namespace {

std::string g_root;

int Sh(const std::string& cmd) { return std::system(("{ " + cmd + " ; } >/dev/null 2>&1").c_str()); }

void WriteFile(const std::string& path, std::size_t size, bool noise, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  if (noise) {
    for (auto& c : s) c = static_cast<char>(rng());
  } else {
    for (std::size_t i = 0; i < size; ++i) s[i] = "#00111:01020304\r\n"[(i + rng() % 3) % 17];
  }
  std::ofstream(path, std::ios::binary).write(s.data(), static_cast<std::streamsize>(s.size()));
}

// Three songs: eight 1.2 MB sounds and four charts each.
const std::string& Root() {
  if (!g_root.empty()) return g_root;
  char tmpl[] = "/tmp/arcbenchXXXXXX";
  g_root = std::string(mkdtemp(tmpl)) + "/";
  unsigned seed = 1;
  for (int song = 0; song < 3; ++song) {
    std::string dir = g_root + "src/song" + std::to_string(song) + "/";
    Sh("mkdir -p " + dir);
    for (int k = 0; k < 8; ++k) WriteFile(dir + "snd" + std::to_string(k) + ".ogg", 1200000, true, seed++);
    for (int k = 0; k < 4; ++k) WriteFile(dir + "chart" + std::to_string(k) + ".bms", 60000, false, seed++);
  }
  std::string src = "cd " + g_root + "src && ";
  Sh(src + "bsdtar -c --format zip -f ../a.zip .");
  Sh(src + "bsdtar -cf ../a.tar .");
  Sh(src + "bsdtar -czf ../a.tgz .");
  Sh(src + "bsdtar -cjf ../a.tar.bz2 .");
  Sh(src + "jlha a ../a.lzh $(find . -type f | sort)");
  Sh(src + "gcab -c -z ../a.cab $(find . -type f | sort)");
  Sh(src + "arj a -r -y -m1 ../a.arj");  // -r with no names takes the whole tree
  return g_root;
}

double Seconds(const std::function<void()>& fn) {
  auto t0 = std::chrono::steady_clock::now();
  fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The reference extractor for an archive: bsdtar, except for ARJ, which
// libarchive cannot read, where it is the arj program itself.
std::string ReferenceCommand(const std::string& arc, const std::string& ref) {
  if (arc.size() > 4 && arc.compare(arc.size() - 4, 4, ".arj") == 0) return "cd " + ref + " && arj x -y " + arc;
  return "bsdtar -xf " + arc + " -C " + ref;
}

void Extract(benchmark::State& state, const char* library, const char* entry, const char* archive, const char* lineFormat) {
  const std::string& root = Root();
  platform::ModuleHandle lib = platform::LoadLibrary(library);
  auto fn = lib ? reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(lib, entry)) : nullptr;
  if (!fn) {
    state.SkipWithError("library not found");
    return;
  }
  std::string arc = root + archive, out = root + "out/", ref = root + "ref/";
  char line[2048];
  std::snprintf(line, sizeof line, lineFormat, arc.c_str(), out.c_str());
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    Sh("rm -rf " + out + " " + ref + " && mkdir -p " + ref);
    int r = 0;
    double t = Seconds([&] { r = fn(0, line, nullptr, 0); });
    if (r != 0) state.SkipWithError("extraction failed");
    state.SetIterationTime(t);
    ours += t;
    theirs += Seconds([&] { Sh(ReferenceCommand(arc, ref)); });
  }
  state.counters["vs_reference"] = ours / theirs;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * (8 * 1200000 + 4 * 60000));
}

void BM_Unlha(benchmark::State& s) { Extract(s, "UNLHA32.DLL", "Unlha", "a.lzh", "x -+ -x1  \"%s\" \"%s\" "); }
void BM_UnZip(benchmark::State& s) { Extract(s, "UNZIP32.DLL", "UnZip", "a.zip", "-x  \"%s\" \"%s\" "); }
void BM_TarPlain(benchmark::State& s) { Extract(s, "tar32.dll", "Tar", "a.tar", "x --use-directory=1 -f \"%s\" -o \"%s\" "); }
void BM_TarGzip(benchmark::State& s) { Extract(s, "tar32.dll", "Tar", "a.tgz", "x --use-directory=1 -z -f \"%s\" -o \"%s\" "); }
void BM_TarBzip2(benchmark::State& s) { Extract(s, "tar32.dll", "Tar", "a.tar.bz2", "x --use-directory=1 -B -f \"%s\" -o \"%s\" "); }
void BM_Cab(benchmark::State& s) { Extract(s, "CAB32.DLL", "Cab", "a.cab", "-x  \"%s\" \"%s\" "); }
void BM_Unarj(benchmark::State& s) { Extract(s, "UNARJ32J.DLL", "Unarj", "a.arj", "x -+ -x1  \"%s\" \"%s\" "); }

BENCHMARK(BM_Unlha)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnZip)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TarPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TarGzip)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TarBzip2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Cab)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Unarj)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
