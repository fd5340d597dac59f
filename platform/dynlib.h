// SPDX-License-Identifier: MIT
#pragma once
// LoadLibraryA / GetProcAddress / GetModuleFileNameA / FreeLibrary.
#include <string>
#include <string_view>

namespace platform {

using ModuleHandle = void*;

// Loads a library by its file name (CP932), searching like the platform's
// DLL search: the executable's folder, the installed library folder
// (InstalledLibraryDir: lib/bmslist/ beside the executable's bin/), then the
// system's normal search. A name with a delimiter is loaded as given.
// Returns nullptr when it cannot be loaded.
ModuleHandle LoadLibrary(std::string_view name);
// Loads the library at exactly this path (CP932), with no search and no
// error box; nullptr when it cannot be loaded (each system's dynlib.cpp).
ModuleHandle LoadLibraryFile(const std::string& path);
void* GetProcAddress(ModuleHandle module, const char* name);
// Full path of the loaded module; of the executable itself for nullptr.
std::string GetModuleFileName(ModuleHandle module);
void FreeLibrary(ModuleHandle module);

// For tests: search this folder first (empty: no extra folder). With
// `exclusive`, bare names are looked for in that folder only, so a test can
// make a library missing although a built one sits beside the executable.
void SetLibrarySearchDirForTesting(std::string_view dir, bool exclusive = false);

}  // namespace platform
