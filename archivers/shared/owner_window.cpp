// SPDX-License-Identifier: MIT
#include "archivers/shared/owner_window.h"

#include "archivers/shared/library_diagnostics.h"
#include "platform/msgwindow.h"

namespace arc {

namespace {
// Per thread, so that one thread's registration never sends another
// thread's operation to the wrong window, nor ends it there.
thread_local ARC_HWND t_hwnd = 0;
thread_local ARCHIVERPROC t_proc = nullptr;
}  // namespace

bool SetOwnerWindow(ARC_HWND hwnd, ARCHIVERPROC proc) {
  if (hwnd == 0) return false;
  t_hwnd = hwnd;
  t_proc = proc;
  return true;
}

bool KillOwnerWindow(ARC_HWND hwnd) {
  if (hwnd == 0 || hwnd != t_hwnd) return false;
  t_hwnd = 0;
  t_proc = nullptr;
  return true;
}

bool ClearOwnerWindow() {
  if (t_hwnd == 0) return false;
  t_hwnd = 0;
  t_proc = nullptr;
  return true;
}

ProgressReporter::ProgressReporter() {
  hwnd_ = t_hwnd;
  proc_ = t_proc;
  if (hwnd_) message_ = platform::RegisterWindowMessage("wm_arcextract");
}

bool ProgressReporter::Report(unsigned state, EXTRACTINGINFOEX& info) const {
  if (!hwnd_) return true;
  HostCallScope host;
  if (proc_) return proc_(hwnd_, message_, state, &info) != 0;
  return platform::SendMessage(hwnd_, message_, state, reinterpret_cast<std::intptr_t>(&info)) != 1;
}

}  // namespace arc
