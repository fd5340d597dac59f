// LoadLibraryW / GetProcAddress / GetModuleFileNameW / FreeLibrary. Bare
// names are looked for in the test folder (when set), then beside the
// executable, then by the system's DLL search.
#include "platform/dynlib.h"

#include "platform/win32/windows_api.h"

#include <mutex>

#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {
std::mutex g_mutex;
std::string g_testDir;
bool g_testDirExclusive = false;

ModuleHandle TryOpen(const std::string& cp932Path) {
  // No error box for a missing or broken DLL: the caller reports it.
  UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE h = LoadLibraryExW(win32::Cp932ToWide(cp932Path).c_str(), nullptr, 0);
  SetErrorMode(old);
  return reinterpret_cast<ModuleHandle>(h);
}
}  // namespace

ModuleHandle LoadLibrary(std::string_view name) {
  if (name.empty()) return nullptr;
  if (LastDelimiterPos(name) != std::string_view::npos) return TryOpen(std::string(name));
  std::string testDir;
  bool exclusive = false;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    testDir = g_testDir;
    exclusive = g_testDirExclusive;
  }
  if (!testDir.empty()) {
    if (ModuleHandle h = TryOpen(IncludeTrailingDelimiter(testDir) + std::string(name))) return h;
    if (exclusive) return nullptr;
  }
  if (ModuleHandle h = TryOpen(ExecutableDir() + std::string(name))) return h;
  return TryOpen(std::string(name));
}

void* GetProcAddress(ModuleHandle module, const char* name) {
  if (!module || !name) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

std::string GetModuleFileName(ModuleHandle module) {
  if (!module) return ExecutablePath();
  wchar_t buf[32768];
  DWORD n = GetModuleFileNameW(static_cast<HMODULE>(module), buf, 32768);
  if (n == 0 || n >= 32768) return {};
  return win32::WideToCp932(std::wstring_view(buf, n));
}

void FreeLibrary(ModuleHandle module) {
  if (module) ::FreeLibrary(static_cast<HMODULE>(module));
}

void SetLibrarySearchDirForTesting(std::string_view dir, bool exclusive) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_testDir = std::string(dir);
  g_testDirExclusive = exclusive;
}

}  // namespace platform
