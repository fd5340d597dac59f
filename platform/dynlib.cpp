// SPDX-License-Identifier: MIT
// The search order of LoadLibrary, the same on every system; the loading
// itself is each system's (LoadLibraryFile).
#include "platform/dynlib.h"

#include <mutex>

#include "platform/paths.h"

namespace platform {

namespace {
std::mutex g_mutex;
std::string g_testDir;
bool g_testDirExclusive = false;
}  // namespace

ModuleHandle LoadLibrary(std::string_view name) {
  if (name.empty()) return nullptr;
  const std::string file(name);
  if (LastDelimiterPos(name) != std::string_view::npos) return LoadLibraryFile(file);
  std::string testDir;
  bool exclusive = false;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    testDir = g_testDir;
    exclusive = g_testDirExclusive;
  }
  if (!testDir.empty()) {
    if (ModuleHandle h = LoadLibraryFile(IncludeTrailingDelimiter(testDir) + file)) return h;
    if (exclusive) return nullptr;
  }
  if (ModuleHandle h = LoadLibraryFile(ExecutableDir() + file)) return h;
  // Found relative to the executable, so an installed copy works wherever
  // its prefix is, and moved as a whole (on Windows that is the same folder).
  if (InstalledLibraryDir() != ExecutableDir())
    if (ModuleHandle h = LoadLibraryFile(InstalledLibraryDir() + file)) return h;
  return LoadLibraryFile(file);
}

void SetLibrarySearchDirForTesting(std::string_view dir, bool exclusive) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_testDir = std::string(dir);
  g_testDirExclusive = exclusive;
}

}  // namespace platform
