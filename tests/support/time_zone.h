// SPDX-License-Identifier: MIT
#pragma once
// A time zone for one test.
#include <string>

#include "platform/no_copy.h"

namespace test_support {

// Sets TZ (nullptr: no TZ at all) for as long as it lives, then puts back
// what was there.
class ScopedTimeZone : NoCopy {
 public:
  explicit ScopedTimeZone(const char* tz);
  ~ScopedTimeZone();

 private:
  std::string saved_;
  bool had_ = false;
};

}  // namespace test_support
