#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "text/fields.h"

namespace {

using Fields = std::vector<std::string_view>;

TEST(CommaFields, TrimmedQuotedAndEmpty) {
  EXPECT_EQ(text::CommaFields("x,y,z"), (Fields{"x", "y", "z"}));
  EXPECT_EQ(text::CommaFields(""), (Fields{""}));
  EXPECT_EQ(text::CommaFields("a,"), (Fields{"a", ""}));
  EXPECT_EQ(text::CommaFields("a,,b"), (Fields{"a", "", "b"}));
  EXPECT_EQ(text::CommaFields(" a , b "), (Fields{"a", "b"}));
  EXPECT_EQ(text::CommaFields("\"a,b\",c"), (Fields{"a,b", "c"}));
  EXPECT_EQ(text::CommaFields("\"a,b\" junk,c"), (Fields{"a,b", "c"}));
  EXPECT_EQ(text::CommaFields("\"a,b"), (Fields{"a,b"}));  // never closed
  EXPECT_EQ(text::CommaFields("x,tvrip-*\",y"), (Fields{"x", "tvrip-*\"", "y"}));
}

}  // namespace
