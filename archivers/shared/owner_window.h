// SPDX-License-Identifier: MIT
#pragma once
// The window (and optional callback) registered with ...SetOwnerWindowEx,
// and the progress reports sent to it. Each library links its own copy of
// the engine, and within a library the registration belongs to the thread
// that made it: two threads may each register their own window and unpack
// at once, each hearing only of its own operations.
#include <string>

#include "archiver_api.h"

namespace arc {

// Registers `hwnd` for the calling thread, replacing its earlier
// registration. 0 is refused.
bool SetOwnerWindow(ARC_HWND hwnd, ARCHIVERPROC proc);
// Unregisters `hwnd`; false when it is not the calling thread's window.
bool KillOwnerWindow(ARC_HWND hwnd);
// Unregisters the calling thread's window, whichever it is; false when
// none was registered.
bool ClearOwnerWindow();

// Sends one report for the operation in progress. The registered window
// gets the registered message "wm_arcextract" (wParam = state, lParam = the
// record) and answers 1 to abort; a registered callback is called instead
// of the message and answers 0 (FALSE) to abort, as the callback form of
// the interface has it. Answers false when the operation is to stop.
// Nothing registered: always true.
class ProgressReporter {
 public:
  ProgressReporter();  // takes the calling thread's registration at the start
  bool Report(unsigned state, EXTRACTINGINFOEX& info) const;
  bool Active() const { return hwnd_ != 0; }

 private:
  ARC_HWND hwnd_ = 0;
  ARCHIVERPROC proc_ = nullptr;
  unsigned message_ = 0;
};

}  // namespace arc
