// SPDX-License-Identifier: MIT
// Fixing the time zone at start changes no local time: the zone file read
// once is the one the C library would read on every conversion.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <string>

#include "platform/file_time.h"
#include "tests/support/time_zone.h"

namespace {


// Local offsets at a winter and a summer date and now, and a local stamp
// back to UTC: what the libraries' conversions depend on.
std::string Offsets() {
  std::string out;
  for (std::time_t t : {std::time_t{1704067200}, std::time_t{1719835200}, std::time(nullptr)}) {
    struct tm local{};
    localtime_r(&t, &local);
    out += std::to_string(local.tm_gmtoff) + " ";
    out += std::to_string(static_cast<long long>(mktime(&local) - t)) + " ";
  }
  return out;
}

TEST(TimeZone, FixingItKeepsTheSystemZoneAndRespectsTheUsers) {
  test_support::ScopedTimeZone noZone(nullptr);
  std::string system = Offsets();
  platform::FixLocalTimeZone();
  ASSERT_NE(std::getenv("TZ"), nullptr);
  EXPECT_STREQ(std::getenv("TZ"), ":/etc/localtime");
  EXPECT_EQ(Offsets(), system);

  // A zone the user chose stays chosen.
  setenv("TZ", "JST-9", 1);
  platform::FixLocalTimeZone();
  EXPECT_STREQ(std::getenv("TZ"), "JST-9");
  struct tm local{};
  std::time_t epoch = 0;
  localtime_r(&epoch, &local);
  EXPECT_EQ(local.tm_hour, 9);
}

}  // namespace
