#include <gtest/gtest.h>

#include <string>

#include "text/replace.h"

namespace {

TEST(ReplaceAll, NeverRescansAndNeverOverlaps) {
  struct Case {
    std::string text, pattern, replacement, want;
  } cases[] = {
      {"a    b", "  ", " ", "a  b"},
      {"a  b", "  ", " ", "a b"},
      {"a(b(c", "(", " (", "a (b (c"},
      {"aaa", "aa", "a", "aa"},
      {"abc", "", "x", "abc"},
      {"", "a", "x", ""},
      {"abab", "ab", "", ""},
      {"xyz", "y", "yy", "xyyz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::ReplaceAll(c.text, c.pattern, c.replacement), c.want)
        << c.text;
  }
  EXPECT_EQ(text::RemoveAll("//cc", "/c"), "/c");
  EXPECT_EQ(text::RemoveAll("/c/c", "/c"), "");
}

}  // namespace
