// SPDX-License-Identifier: MIT
// LoadLibraryW / GetProcAddress / GetModuleFileNameW / FreeLibrary (the
// search order is platform/dynlib.cpp's).
#include "platform/dynlib.h"

#include "platform/win32/windows_api.h"

#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace platform {

ModuleHandle LoadLibraryFile(const std::string& path) {
  // No error box for a missing or broken DLL: the caller reports it.
  UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE h = LoadLibraryExW(win32::PathToWide(path).c_str(), nullptr, 0);
  SetErrorMode(old);
  return reinterpret_cast<ModuleHandle>(h);
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

}  // namespace platform
