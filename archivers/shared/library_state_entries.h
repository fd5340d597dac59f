// SPDX-License-Identifier: MIT
#pragma once
// The entries about a library itself (versions, modes, which entries it
// has, its settings dialog) and the owner-window forms without a callback,
// exported by ARC_EXPORT_STATE and ARC_EXPORT_OWNER.
#include <cstdint>

#include "archiver_api.h"

namespace arc {

// The groups of entries a library exports, for QueryFunctionList: each
// macro of library_exports.h exports one group.
enum EntryGroup : unsigned {
  kCommandEntry = 1u << 0,   // Prefix(...) (ARC_EXPORT_COMMAND, ARC_EXPORT_CREATING)
  kListingEntries = 1u << 1,  // ARC_EXPORT_LISTING
  kOwnerEntries = 1u << 2,    // ARC_EXPORT_OWNER
  kStateEntries = 1u << 3,    // ARC_EXPORT_STATE
  kInfoEntries = 1u << 4,     // ARC_EXPORT_INFO
};

// This build as one number: major*10000 + minor*100 + patch.
std::uint16_t SubVersion() noexcept;

bool RunQueryFunctionList(unsigned groups, int function) noexcept;

int RunGetBackGroundMode() noexcept;
int RunSetBackGroundMode(int mode) noexcept;
int RunGetCursorMode() noexcept;
int RunSetCursorMode(int mode) noexcept;
std::uint16_t RunGetCursorInterval() noexcept;
int RunSetCursorInterval(std::uint16_t interval) noexcept;

// SetOwnerWindowEx without a callback; ClearOwnerWindow unregisters the
// calling thread's window whichever it is (FALSE when there is none).
int RunSetOwnerWindow(ARC_HWND hwnd) noexcept;
int RunClearOwnerWindow() noexcept;

}  // namespace arc
