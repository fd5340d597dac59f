// SPDX-License-Identifier: MIT
// The pipeline tests compare dates and names as a user in UTC with a UTF-8
// locale sees them, whoever runs them and however (ctest runs each case as
// its own process).
#include <cstdlib>
#include <ctime>

namespace {
const bool kUtcEnvironment = [] {
  setenv("TZ", "UTC", 1);
  setenv("LANG", "C.UTF-8", 1);
  tzset();
  return true;
}();
}  // namespace
