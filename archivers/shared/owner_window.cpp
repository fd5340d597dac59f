#include "archivers/shared/owner_window.h"

#include <mutex>

#include "platform/msgwindow.h"

namespace arc {

namespace {
std::mutex g_mutex;
ARC_HWND g_hwnd = 0;
ARCHIVERPROC g_proc = nullptr;
}  // namespace

bool SetOwnerWindow(ARC_HWND hwnd, ARCHIVERPROC proc) {
  if (hwnd == 0) return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  g_hwnd = hwnd;
  g_proc = proc;
  return true;
}

bool KillOwnerWindow(ARC_HWND hwnd) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (hwnd == 0 || hwnd != g_hwnd) return false;
  g_hwnd = 0;
  g_proc = nullptr;
  return true;
}

ProgressReporter::ProgressReporter() {
  std::lock_guard<std::mutex> lock(g_mutex);
  hwnd_ = g_hwnd;
  proc_ = g_proc;
  if (hwnd_) message_ = platform::RegisterWindowMessage("wm_arcextract");
}

bool ProgressReporter::Report(unsigned state, EXTRACTINGINFOEX& info) const {
  if (!hwnd_) return true;
  if (proc_) return proc_(hwnd_, message_, state, &info) != 0;
  return platform::SendMessage(hwnd_, message_, state, reinterpret_cast<std::intptr_t>(&info)) != 1;
}

}  // namespace arc
