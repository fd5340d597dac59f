#pragma once
// A time zone for one test.
#include <string>

namespace test_support {

// Sets TZ (nullptr: no TZ at all) for as long as it lives, then puts back
// what was there.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::string saved_;
  bool had_ = false;
};

}  // namespace test_support
