#include "rules/name_shape.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// Each case at every offset within plain words, so that what is odd falls
// at each place of the eight bytes tested at once, and across two of them.
TEST(NameShape, OddBytesAndOpenBracketsAnywhere) {
  const struct {
    std::string part;
    bool odd;
  } cases[] = {
      {"Show.S01E02.720p-GRP", false},
      {"(2010) [GRP] ([x])", false},
      {"Am\xc3\xa9lie \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xac", false},
      {"~!@#$%^&*_+{}|:\"<>?`-=;',./\\", false},
      {"a\tb", true},
      {std::string("a\0b", 3), true},
      {"a\x1f", true},
      {"a\x7f", true},
      {"caf\xe9", true},          // Latin-1, no UTF-8
      {"\xc3", true},             // a character cut short
      {"\xc0\xaf", true},         // an overlong form
      {"\xed\xa0\x80", true},     // a surrogate
      {"\xf4\x90\x80\x80", true}, // past U+10FFFF
      {"Show (2010", true},
      {"Show 2010)", true},
      {"Show [GRP", true},
      {")(", true},
      {"][", true},
      {"([)]", false},  // each kind balanced on its own
  };
  for (const auto& c : cases) {
    for (std::size_t pad = 0; pad < 10; ++pad) {
      const std::string name = std::string(pad, 'x') + c.part + std::string(9 - pad, 'y');
      EXPECT_EQ(rules::IsOddlyShaped(name), c.odd) << c.part << " after " << pad;
      EXPECT_EQ(rules::IsOddlyShaped(c.part), c.odd) << c.part;
    }
  }
}

}  // namespace
