// SPDX-License-Identifier: MIT
#include "archivers/shared/library_state_entries.h"

#include <atomic>

#include "archivers/shared/owner_window.h"

namespace arc {

namespace {
// No dialog or cursor is ever shown: the modes are only kept, so that a
// caller reads back what it set.
std::atomic<bool> g_backGround{false};
std::atomic<bool> g_cursorMode{false};
std::atomic<std::uint16_t> g_cursorInterval{80};

struct FunctionGroup {
  int function;
  unsigned group;
};

constexpr FunctionGroup kFunctions[] = {
    {ISARC, kCommandEntry},
    {ISARC_GET_VERSION, kStateEntries},
    {ISARC_GET_CURSOR_INTERVAL, kStateEntries},
    {ISARC_SET_CURSOR_INTERVAL, kStateEntries},
    {ISARC_GET_BACK_GROUND_MODE, kStateEntries},
    {ISARC_SET_BACK_GROUND_MODE, kStateEntries},
    {ISARC_GET_CURSOR_MODE, kStateEntries},
    {ISARC_SET_CURSOR_MODE, kStateEntries},
    {ISARC_GET_RUNNING, kStateEntries},
    {ISARC_CONFIG_DIALOG, kStateEntries},
    {ISARC_QUERY_FUNCTION_LIST, kStateEntries},
    {ISARC_CHECK_ARCHIVE, kListingEntries},
    {ISARC_OPEN_ARCHIVE, kListingEntries},
    {ISARC_CLOSE_ARCHIVE, kListingEntries},
    {ISARC_FIND_FIRST, kListingEntries},
    {ISARC_FIND_NEXT, kListingEntries},
    {ISARC_SETOWNERWINDOW, kOwnerEntries},
    {ISARC_CLEAROWNERWINDOW, kOwnerEntries},
    {ISARC_SETOWNERWINDOWEX, kOwnerEntries},
    {ISARC_KILLOWNERWINDOWEX, kOwnerEntries},
    {ISARC_GET_FILE_COUNT, kInfoEntries},
    {ISARC_GET_ARC_FILE_NAME, kInfoEntries},
    {ISARC_GET_ARC_FILE_SIZE, kInfoEntries},
    {ISARC_GET_ARC_ORIGINAL_SIZE, kInfoEntries},
    {ISARC_GET_ARC_COMPRESSED_SIZE, kInfoEntries},
    {ISARC_GET_ARC_RATIO, kInfoEntries},
    {ISARC_GET_ARC_DATE, kInfoEntries},
    {ISARC_GET_ARC_TIME, kInfoEntries},
    {ISARC_GET_ARC_OS_TYPE, kInfoEntries},
    {ISARC_GET_ARC_IS_SFX_FILE, kInfoEntries},
    {ISARC_GET_ARC_WRITE_TIME_EX, kInfoEntries},
    {ISARC_GET_ARC_CREATE_TIME_EX, kInfoEntries},
    {ISARC_GET_ARC_ACCESS_TIME_EX, kInfoEntries},
    {ISARC_GET_FILE_NAME, kInfoEntries},
    {ISARC_GET_ORIGINAL_SIZE, kInfoEntries},
    {ISARC_GET_COMPRESSED_SIZE, kInfoEntries},
    {ISARC_GET_RATIO, kInfoEntries},
    {ISARC_GET_DATE, kInfoEntries},
    {ISARC_GET_TIME, kInfoEntries},
    {ISARC_GET_CRC, kInfoEntries},
    {ISARC_GET_ATTRIBUTE, kInfoEntries},
    {ISARC_GET_OS_TYPE, kInfoEntries},
    {ISARC_GET_METHOD, kInfoEntries},
    {ISARC_GET_WRITE_TIME, kInfoEntries},
    {ISARC_GET_CREATE_TIME, kInfoEntries},
    {ISARC_GET_ACCESS_TIME, kInfoEntries},
    {ISARC_GET_WRITE_TIME_EX, kInfoEntries},
    {ISARC_GET_CREATE_TIME_EX, kInfoEntries},
    {ISARC_GET_ACCESS_TIME_EX, kInfoEntries},
    {ISARC_GET_ARC_FILE_SIZE_EX, kInfoEntries},
    {ISARC_GET_ARC_ORIGINAL_SIZE_EX, kInfoEntries},
    {ISARC_GET_ARC_COMPRESSED_SIZE_EX, kInfoEntries},
    {ISARC_GET_ORIGINAL_SIZE_EX, kInfoEntries},
    {ISARC_GET_COMPRESSED_SIZE_EX, kInfoEntries},
};
}  // namespace

std::uint16_t SubVersion() noexcept { return BMSLIST_VERSION_NUMBER; }

bool RunQueryFunctionList(unsigned groups, int function) noexcept {
  for (const FunctionGroup& f : kFunctions)
    if (f.function == function) return (groups & f.group) != 0;
  return false;
}

int RunGetBackGroundMode() noexcept { return g_backGround.load() ? 1 : 0; }
int RunSetBackGroundMode(int mode) noexcept {
  g_backGround = mode != 0;
  return 1;
}
int RunGetCursorMode() noexcept { return g_cursorMode.load() ? 1 : 0; }
int RunSetCursorMode(int mode) noexcept {
  g_cursorMode = mode != 0;
  return 1;
}
std::uint16_t RunGetCursorInterval() noexcept { return g_cursorInterval.load(); }
int RunSetCursorInterval(std::uint16_t interval) noexcept {
  g_cursorInterval = interval;
  return 1;
}

int RunSetOwnerWindow(ARC_HWND hwnd) noexcept { return SetOwnerWindow(hwnd, nullptr) ? 1 : 0; }
int RunClearOwnerWindow() noexcept { return ClearOwnerWindow() ? 1 : 0; }

}  // namespace arc
