// SPDX-License-Identifier: MIT
// bench_library_scan INDEX FOLDER [EXT...]: one scan of FOLDER into the
// index file INDEX; prints "charts hashed removed seconds".
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "library/library_index.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: bench_library_scan INDEX FOLDER [EXT...]\n", stderr);
    return 2;
  }
  std::vector<std::string> extensions(argv + 3, argv + argc);
  if (extensions.empty()) extensions = {"bms", "bme", "bml", "pms"};
  try {
    const auto start = std::chrono::steady_clock::now();
    library::LibraryIndex index(argv[1]);
    const library::ScanTotals t = index.Scan(argv[2], extensions);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu %zu %zu %.3f\n", t.charts, t.hashed, t.removed, took.count());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_library_scan: %s\n", e.what());
    return 1;
  }
  return 0;
}
