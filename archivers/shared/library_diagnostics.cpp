// SPDX-License-Identifier: MIT
#include "archivers/shared/library_diagnostics.h"

#include <cstdio>
#include <mutex>

namespace arc {

namespace {
thread_local int t_insideEntries = 0;
FILE* g_previous = nullptr;  // the stream stderr was before the route

ssize_t WriteRouted(void*, const char* bytes, size_t size) {
  if (t_insideEntries > 0) return static_cast<ssize_t>(size);
  size_t written = std::fwrite(bytes, 1, size, g_previous);
  return written == 0 && size > 0 ? -1 : static_cast<ssize_t>(written);
}
}  // namespace

void RouteLibraryDiagnostics() {
  static std::once_flag once;
  std::call_once(once, [] {
    cookie_io_functions_t io{nullptr, WriteRouted, nullptr, nullptr};
    FILE* routed = fopencookie(nullptr, "w", io);
    if (!routed) return;
    // Unbuffered, as stderr is: each write is judged by the thread making
    // it, and the program's lines leave at once and whole.
    std::setvbuf(routed, nullptr, _IONBF, 0);
    g_previous = stderr;
    stderr = routed;
  });
}

LibraryDiagnosticsScope::LibraryDiagnosticsScope() { ++t_insideEntries; }

LibraryDiagnosticsScope::~LibraryDiagnosticsScope() { --t_insideEntries; }

HostCallScope::HostCallScope() : saved_(t_insideEntries) { t_insideEntries = 0; }

HostCallScope::~HostCallScope() { t_insideEntries = saved_; }

}  // namespace arc
