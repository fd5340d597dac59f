// SPDX-License-Identifier: MIT
#include "platform/dynlib.h"

#include <dlfcn.h>
#include <link.h>

#include "platform/paths.h"

namespace platform {

ModuleHandle LoadLibraryFile(const std::string& path) { return dlopen(FsName(path).c_str(), RTLD_NOW | RTLD_LOCAL); }

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

}  // namespace platform
