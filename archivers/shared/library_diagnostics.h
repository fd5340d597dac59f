// SPDX-License-Identifier: MIT
#pragma once
// libunarr writes its warnings ("! rar.c:71: ...") straight to stderr from
// whichever thread unpacks, with no way to turn them off: they came between
// the program's own lines, in an order that changed from run to run. The
// result codes already say what went wrong, so a library that drives such a
// dependency routes the process's stderr through a stream that drops what a
// thread writes while it is inside one of the library's entry points, and
// hands everything else on to the stream stderr was.
#include "platform/no_copy.h"

namespace arc {

// Installs the route, once; the library calling it must never be unloaded
// (its stream stays the process's stderr). Nothing on Windows, where no
// dependency writes to stderr.
void RouteLibraryDiagnostics();

// Opened by every entry point: what the thread writes to stderr meanwhile is
// a dependency's diagnostic.
class LibraryDiagnosticsScope : NoCopy {
 public:
  LibraryDiagnosticsScope();
  ~LibraryDiagnosticsScope();
};

// Opened around a call back into the host (progress reports): what the host
// writes meanwhile is its own and goes through.
class HostCallScope : NoCopy {
 public:
  HostCallScope();
  ~HostCallScope();

 private:
  int saved_ = 0;
};

}  // namespace arc
