// SPDX-License-Identifier: MIT
// SearchPathW without a path: the system's own order (the executable's
// folder, the system folders, the current folder, then PATH).
#include "platform/search_path.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace platform {

std::string SearchPath(std::string_view name) {
  if (name.empty()) return {};
  wchar_t buf[32768];
  DWORD n = SearchPathW(nullptr, win32::PathToWide(name).c_str(), nullptr, 32768, buf, nullptr);
  if (n == 0 || n >= 32768) return {};
  std::string found = win32::WideToCp932(std::wstring_view(buf, n));
  return FileExists(found) ? found : std::string();
}

}  // namespace platform
