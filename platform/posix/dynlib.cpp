#include "platform/dynlib.h"

#include <dlfcn.h>
#include <link.h>

#include <mutex>

#include "platform/paths.h"

namespace platform {

namespace {
std::mutex g_mutex;
std::string g_testDir;
bool g_testDirExclusive = false;

ModuleHandle TryOpen(const std::string& fsPath) { return dlopen(fsPath.c_str(), RTLD_NOW | RTLD_LOCAL); }
}  // namespace

ModuleHandle LoadLibrary(std::string_view name) {
  if (name.empty()) return nullptr;
  std::string fs = FsName(name);
  if (LastDelimiterPos(name) != std::string_view::npos) return TryOpen(fs);
  std::string testDir;
  bool exclusive = false;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    testDir = g_testDir;
    exclusive = g_testDirExclusive;
  }
  if (!testDir.empty()) {
    if (ModuleHandle h = TryOpen(FsName(IncludeTrailingDelimiter(testDir)) + fs)) return h;
    if (exclusive) return nullptr;
  }
  if (ModuleHandle h = TryOpen(FsName(ExecutableDir()) + fs)) return h;
  // Found relative to the executable, so an installed copy works wherever
  // its prefix is, and moved as a whole.
  if (ModuleHandle h = TryOpen(FsName(InstalledLibraryDir()) + fs)) return h;
  return TryOpen(fs);
}

void* GetProcAddress(ModuleHandle module, const char* name) {
  if (!module || !name) return nullptr;
  return dlsym(module, name);
}

std::string GetModuleFileName(ModuleHandle module) {
  if (!module) return ExecutablePath();
  struct link_map* map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return {};
  return FromFsName(map->l_name);
}

void FreeLibrary(ModuleHandle module) {
  if (module) dlclose(module);
}

void SetLibrarySearchDirForTesting(std::string_view dir, bool exclusive) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_testDir = std::string(dir);
  g_testDirExclusive = exclusive;
}

}  // namespace platform
