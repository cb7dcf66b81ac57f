#include <gtest/gtest.h>

#include <string>

#include "app/plan/pattern.h"

namespace {

using app::WildcardMatch;

TEST(Pattern, Matching) {
  struct Case {
    std::string pattern, name;
    bool want;
  } cases[] = {
      {"*", "anything.avi", true},
      {"*", "noperiod", true},
      {"*.*", "noperiod", true},
      {"*.*", "a.b.c", true},
      {"*.*", ".hidden", true},
      {"*.avi", "X.AVI", true},
      {"*.AVI", "x.avi", true},
      {"*.avi", "x.avi.part", false},
      {"*.avi", "avi", false},
      {"*.avi", ".avi", true},
      {"readme.*", "readme", true},
      {"readme.*", "README.md", true},
      {"readme.*", "readme2", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a?c", "abbc", false},
      {"a?c", "a\xc3\xa9" "c", true},  // ? is one character, not one byte
      {"a??c", "a\xc3\xa9" "c", false},
      {"a?c", "a\xff" "c", true},      // a byte that is no character
      {"\xc3\xa9*", "\xc3\xa9t\xc3\xa9", true},
      {"\xc3\xa9*", "\xc3\x89t\xc3\xa9", false},  // only ASCII is case-blind
      {"My Movie.avi", "my movie.AVI", true},
      {"My Movie.avi", "My Movie.avi2", false},
      {"*a*b*c*", "xxaxxbxxcxx", true},
      {"*a*b*c*", "xxaxxcxxbxx", false},
      {"*x", "", false},
      {"", "", true},
      {"", "a", false},
      {"**", "abc", true},
      {"*.tar.gz", "file.TAR.GZ", true},
      {"[a]*", "[a]b", true},  // brackets are plain characters
      {"[a]*", "ab", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.want)
        << c.pattern << " vs " << c.name;
  }
}

TEST(Pattern, ManyStarsStayFast) {
  const std::string name(5000, 'a');
  EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*a*a*", name));
}

}  // namespace
