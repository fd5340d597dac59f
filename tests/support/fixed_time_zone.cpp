// SPDX-License-Identifier: MIT
// Every test program runs with the time zone fixed as the programs fix it
// at their start, so the libraries under test see the same setting.
#include "platform/file_time.h"

namespace {
[[maybe_unused]] const bool kZoneFixed = (platform::FixLocalTimeZone(), true);
}  // namespace
