// A cut option token can join its neighbours into another whole token; the
// file pattern left over must not keep one of the tokens that were cut.
#include <gtest/gtest.h>

#include "app/tail_parser.h"

namespace {

TEST(ParseOptions, NoCutTokenIsLeftOver) {
  struct Case {
    const char* tail;
    const char* left;
  } cases[] = {
      {"//cc *.avi", "*.avi"},      // "/c" less "/c" is "/c"
      {"/ U//Mm ", "/ U"},          // "/M" less "/M" leaves "/m"
      {"/c //mlc x", "x"},          // cutting "/ml" forms "/c", cut before
      {"/y//kk x", "x"},            // a later option forms its own token again
      {"///ccc x", "x"},            // nested: "/c" inside "/c" inside "/c"
      {"//DD x*", "x*"},            // "/D" less "/D" is "/D"
      {"//dm x", "/m x"},           // "/m" was never cut: it stays
      {"/c /cx *.avi", "x *.avi"},  // nothing joins: as before
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    EXPECT_EQ(app::ParseOptions(c.tail).file_pattern, c.left);
  }
}

TEST(ParseOptions, LeftoversDoNotChangeTheOptionsFound) {
  const app::ParsedTail p = app::ParseOptions("/ U//Mm ");
  EXPECT_TRUE(p.options.from_lower);
  EXPECT_TRUE(p.options.from_upper);
  EXPECT_FALSE(p.options.confirm_all);
  EXPECT_EQ(app::ParseOptions("//DD x*").options.selection, app::Selection::kDirectories);
  EXPECT_EQ(app::ParseOptions("//dm x").options.selection, app::Selection::kFilesAndDirectories);
}

}  // namespace
