// SPDX-License-Identifier: MIT
#include "tests/support/time_zone.h"

#include <cstdlib>
#include <ctime>

namespace test_support {

ScopedTimeZone::ScopedTimeZone(const char* tz) {
  if (const char* old = std::getenv("TZ")) saved_ = old, had_ = true;
  if (tz)
    setenv("TZ", tz, 1);
  else
    unsetenv("TZ");
  tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
  if (had_)
    setenv("TZ", saved_.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace test_support
