#include <gtest/gtest.h>

#include "text/number.h"

namespace {

TEST(NumberToText, NoBlanks) {
  EXPECT_EQ(text::NumberToText(1920), "1920");
  EXPECT_EQ(text::NumberToText(0), "0");
  EXPECT_EQ(text::NumberToText(-42), "-42");
}

}  // namespace
