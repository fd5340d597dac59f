// SPDX-License-Identifier: MIT
#pragma once
// Comparing the files two unpackings left, for gtest suites.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace test_support {

using Files = std::map<std::string, std::string>;

inline std::set<std::string> NamesOf(const Files& files) {
  std::set<std::string> names;
  for (const auto& [name, data] : files) names.insert(name);
  return names;
}

// Compared by name first, so that a failure does not print whole files.
inline void ExpectSameFiles(const Files& got, const Files& expected, const std::string& what) {
  EXPECT_EQ(NamesOf(got), NamesOf(expected)) << what;
  EXPECT_TRUE(got == expected) << what << ": contents differ";
}

}  // namespace test_support
