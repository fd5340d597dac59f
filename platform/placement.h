// SPDX-License-Identifier: MIT
#pragma once
// WINDOWPLACEMENT and the two calls that read and apply it, for any
// top-level window of the system (the Qt window implements them in gui/).
#include <cstdint>

namespace platform {

struct PlacementPoint {
  std::int32_t x = 0, y = 0;
};

// A RECT: right and bottom are edges (left + width, top + height).
struct PlacementRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowPlacement {
  std::uint32_t length = 44;
  std::uint32_t flags = 0;
  std::uint32_t showCmd = 0;
  PlacementPoint ptMinPosition;
  PlacementPoint ptMaxPosition;
  PlacementRect rcNormalPosition;  // outer rectangle (frame included) of the normal state
};
static_assert(sizeof(WindowPlacement) == 44, "the record has the Win32 layout");

// flags
inline constexpr std::uint32_t kWpfSetMinPosition = 1;
inline constexpr std::uint32_t kWpfRestoreToMaximized = 2;

// showCmd values (SW_*)
inline constexpr std::uint32_t kSwHide = 0;
inline constexpr std::uint32_t kSwShowNormal = 1;
inline constexpr std::uint32_t kSwShowMinimized = 2;
inline constexpr std::uint32_t kSwShowMaximized = 3;
inline constexpr std::uint32_t kSwShowNoActivate = 4;
inline constexpr std::uint32_t kSwShow = 5;
inline constexpr std::uint32_t kSwMinimize = 6;
inline constexpr std::uint32_t kSwShowMinNoActive = 7;
inline constexpr std::uint32_t kSwShowNa = 8;
inline constexpr std::uint32_t kSwRestore = 9;

class PlacementWindow {
 public:
  virtual ~PlacementWindow() = default;
  virtual bool GetWindowPlacement(WindowPlacement& placement) const = 0;
  virtual bool SetWindowPlacement(const WindowPlacement& placement) = 0;
};

}  // namespace platform
