#include <gtest/gtest.h>

#include <cmath>

#include "text/number.h"

namespace {

TEST(NumericValue, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    long double want;
  } cases[] = {
      {"2010", 2010},        {"2010abc", 2010},   {"02010", 2010},
      {"1920x1080", 1920},   {"2010-2012", 2010}, {"+2010", 2010},
      {"-5", -5},            {"20.5", 20.5},      {"2e3", 2000},
      {"2E3", 2000},         {"2d3", 2000},       {"2D+3", 2000},
      {"25e-1", 2.5},        {"x2010", 0},        {"(2010)", 0},
      {"", 0},               {"   ", 0},          {" \t\r\n42", 42},
      {"&H7DA", 2010},       {"&h7da", 2010},     {"&3742", 2018},
      {"&O3742", 2018},      {"&q3742", 2018},    {"&B11111011010", 2010},
      {"&H", 0},             {"&", 0},            {"&9", 0},
      {"1.2.3", 1.2L},       {".5", 0.5},         {"-", 0},
      {"+.", 0},             {"2e", 2},           {"7e+", 7},
      {"1e99999", HUGE_VALL}, {"1e-99999", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text::NumericValue(c.text), c.want) << c.text;
  }
}

TEST(NumericValue, CountsEighteenSignificantDigits) {
  // Digits past the eighteenth only scale the value.
  EXPECT_EQ(text::NumericValue("1234567890123456789"),
            123456789012345678.0L * 10);
  EXPECT_EQ(text::NumericValue("0000000000000000000002010"), 2010);
  EXPECT_EQ(text::NumericValue("0.1234567890123456789"),
            text::NumericValue("0.123456789012345678"));
}

TEST(NumberToText, NoBlanks) {
  EXPECT_EQ(text::NumberToText(1920), "1920");
  EXPECT_EQ(text::NumberToText(0), "0");
  EXPECT_EQ(text::NumberToText(-42), "-42");
}

}  // namespace
