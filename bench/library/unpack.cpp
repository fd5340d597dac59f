// SPDX-License-Identifier: MIT
// One archiver library unpacking a list of archives through its command
// entry, as the drivers call it, each into its own folder OUTDIR/<n>/, and
// OUTDIR deleted at the end: prints the seconds taken, deleting included,
// for bench/run_all.sh to hold against the library's reference tool doing
// the same.
//
//   bench_unpack FORMAT OUTDIR [--charts] [--keep] ARCHIVE...
//
// FORMAT is lzh, zip, tar, tgz, bz2, txz, tzst, cab, arj, rar or 7z; --charts asks for
// "*.bms" only, as a charts-only scan does; --keep leaves OUTDIR in place for
// a comparison of the trees (bench/formats/run.sh).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "archiver_api.h"
#include "platform/dynlib.h"

namespace {

struct Format {
  const char* name;
  const char* library;
  const char* entry;
  const char* command;  // then the quoted archive and folder
  bool destByO = false;  // 7-Zip style: -o"folder" before the archive
};

// The command words the drivers use to unpack with folders.
const Format kFormats[] = {
    {"lzh", "UNLHA32.DLL", "Unlha", "x -+ -x1"},    {"zip", "UNZIP32.DLL", "UnZip", "-x"},
    {"tar", "tar32.dll", "Tar", "x --use-directory=1"}, {"tgz", "tar32.dll", "Tar", "x --use-directory=1 -z"},
    {"bz2", "tar32.dll", "Tar", "x --use-directory=1 -B"}, {"cab", "CAB32.DLL", "Cab", "-x"},
    {"arj", "UNARJ32J.DLL", "Unarj", "x -+ -x1"},   {"rar", "UNRAR32.DLL", "Unrar", "-x"},
    {"txz", "tar32.dll", "Tar", "x --use-directory=1"}, {"tzst", "tar32.dll", "Tar", "x --use-directory=1"},
    {"7z", "7-ZIP32.DLL", "SevenZip", "x -y", true},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_unpack FORMAT OUTDIR [--charts] [--keep] ARCHIVE...\n");
    return 2;
  }
  const Format* format = nullptr;
  for (const Format& f : kFormats)
    if (std::strcmp(f.name, argv[1]) == 0) format = &f;
  if (!format) {
    std::fprintf(stderr, "bench_unpack: unknown format %s\n", argv[1]);
    return 2;
  }
  platform::ModuleHandle lib = platform::LoadLibrary(format->library);
  auto fn = lib ? reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(lib, format->entry)) : nullptr;
  if (!fn) {
    std::fprintf(stderr, "bench_unpack: %s or its entry %s not found\n", format->library, format->entry);
    return 1;
  }
  const std::filesystem::path out = argv[2];
  int first = 3;
  bool charts = false, keep = false;
  for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
    charts = charts || std::strcmp(argv[first], "--charts") == 0;
    keep = keep || std::strcmp(argv[first], "--keep") == 0;
  }

  int failed = 0;
  auto t0 = std::chrono::steady_clock::now();
  std::error_code ec;
  for (int i = first; i < argc; ++i) {
    const std::filesystem::path dir = out / std::to_string(i - first + 1);
    std::filesystem::create_directories(dir, ec);
    std::string line = format->destByO
                           ? std::string(format->command) + " -o\"" + dir.string() + "/\" \"" + argv[i] + "\""
                           : std::string(format->command) + " \"" + argv[i] + "\" \"" + dir.string() + "/\"";
    if (charts) line += " \"*.bms\"";
    if (fn(0, line.c_str(), nullptr, 0) != 0) {
      std::fprintf(stderr, "bench_unpack: %s failed on %s\n", format->library, argv[i]);
      ++failed;
    }
  }
  if (!keep) std::filesystem::remove_all(out, ec);
  std::printf("%.4f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  return failed ? 1 : 0;
}
