// SPDX-License-Identifier: MIT
#include "settings/ini_integer.h"

#include <gtest/gtest.h>

TEST(IniInteger, ParsesTheSettingsIntegerRules) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"0", 0},
      {"50", 50},
      {"-5", -5},
      {" -5", -5},
      {"   +7", 7},
      {"007", 7},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"x1F", 31},
      {"X1F", 31},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
      {"-$80000000", INT32_MIN},
      {"2147483648", std::nullopt},  // beyond the signed 32-bit range
      {"-2147483649", std::nullopt},
      {"$80000000", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"0x", std::nullopt},  // too short to be rewritten, and "x" alone has no digits
      {"$", std::nullopt},
      {"-", std::nullopt},
      {"12abc", std::nullopt},
      {"12 ", std::nullopt},
      {"1.5", std::nullopt},
      {"--1", std::nullopt},
      {" 0x10", std::nullopt},  // "0x" counts only at the very start
      {"$1G", std::nullopt},
      {"\t5", std::nullopt},  // only spaces lead
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIniInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(IniInteger, FormatsPlainDecimal) {
  EXPECT_EQ(FormatIniInteger(0), "0");
  EXPECT_EQ(FormatIniInteger(-42), "-42");
  EXPECT_EQ(FormatIniInteger(INT32_MIN), "-2147483648");
  EXPECT_EQ(ParseIniInteger(FormatIniInteger(INT32_MIN)), INT32_MIN);
}
