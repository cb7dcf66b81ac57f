#include <gtest/gtest.h>

#include "text/fields.h"
#include "text/replace.h"
#include "text/search.h"
#include "text/trim.h"

namespace {

using namespace std::string_literals;

TEST(Find, EdgeCases) {
  struct Case {
    std::string text, pattern;
    std::size_t start, want;
  } cases[] = {
      {"x /c y", "/c", 1, 3},
      {"x /c y", "/c", 3, 3},
      {"x /c y", "/c", 4, 0},
      {"abc", "c", 9, 0},     // start past the end
      {"", "", 1, 0},          // empty text wins over empty pattern
      {"", "a", 1, 0},
      {"abc", "", 2, 2},       // empty pattern gives the start
      {"abc", "abcd", 1, 0},   // pattern longer than the text
      {"aaa", "aa", 2, 2},
      {"a\0b"s, "\0"s, 1, 2},  // NUL is an ordinary byte
      {"abc", "a", 0, 1},      // start 0 acts as 1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::Find(c.text, c.pattern, c.start), c.want)
        << c.text << " / " << c.pattern << " from " << c.start;
  }
}

TEST(FindFromEnd, EdgeCases) {
  EXPECT_EQ(text::FindFromEnd("a.b.c", "."), 4u);
  EXPECT_EQ(text::FindFromEnd("abc", "."), 0u);
  EXPECT_EQ(text::FindFromEnd("", "."), 0u);
  EXPECT_EQ(text::FindFromEnd("xaaa", "aa"), 3u);
  EXPECT_EQ(text::FindFromEnd(".", "."), 1u);
}

TEST(Substring, EdgeCases) {
  EXPECT_EQ(text::Substring("abc", 0, 5), "");
  EXPECT_EQ(text::Substring("abc", 2), "bc");
  EXPECT_EQ(text::Substring("abc", 4), "");
  EXPECT_EQ(text::Substring("abc", 3, 0), "");
  EXPECT_EQ(text::Substring("abc", 1, 2), "ab");
  EXPECT_EQ(text::Substring("abc", 2, text::kToEnd), "bc");
  EXPECT_EQ(text::RightPart("ab", 2), "ab");
  EXPECT_EQ(text::RightPart("a", 2), "a");
  EXPECT_EQ(text::RightPart("abc", 0), "");
  EXPECT_EQ(text::RightPart("abc", 1), "c");
}

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

TEST(CollapseSpaces, IsTheFixedPointOfRepeatedReplace) {
  for (std::string s : {"a     b", "  ", " a  b   c ", "", "abc", "a \t  b"}) {
    std::string repeated = s;
    while (text::Find(repeated, "  ") != 0)
      repeated = text::ReplaceAll(repeated, "  ", " ");
    EXPECT_EQ(text::CollapseSpaces(s), repeated) << "[" << s << "]";
  }
}

TEST(MapCharacterSet, MapsEachByteOnce) {
  EXPECT_EQ(text::MapCharacterSet("[a]]", "[]", "()"), "(a))");
  EXPECT_EQ(text::MapCharacterSet("a.b_c", "._", "  "), "a b c");
  EXPECT_EQ(text::MapCharacterSet("ab", "ab", "ba"), "ba");  // no second map
  EXPECT_EQ(text::MapCharacterSet("aa", "aa", "xy"), "xx");  // first index
  EXPECT_EQ(text::MapCharacterSet("abc", "", ""), "abc");
}

TEST(Trim, SetsAndSpaces) {
  EXPECT_EQ(text::TrimSet("((2010))", "()"), "2010");
  EXPECT_EQ(text::TrimSet("()", "()"), "");
  EXPECT_EQ(text::TrimSet("(20)10)", "()"), "20)10");
  EXPECT_EQ(text::TrimSet(" \"My Movie.avi\" ", " \""), "My Movie.avi");
  EXPECT_EQ(text::TrimSet("abc", ""), "abc");
  EXPECT_EQ(text::TrimSetLeft("((a(", "("), "a(");
  EXPECT_EQ(text::TrimSetRight("((a((", "("), "((a");
  EXPECT_EQ(text::TrimSpaces("\t a \t"), "\t a \t");
  EXPECT_EQ(text::TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(text::TrimSpaceLeft("  a "), "a ");
  EXPECT_EQ(text::TrimSpaceRight("  a "), "  a");
}

TEST(Fields, DelimiterMode) {
  EXPECT_EQ(text::FieldCount("", " "), 1u);
  EXPECT_EQ(text::FieldCount("a b", " "), 2u);
  EXPECT_EQ(text::FieldCount("a  b", " "), 3u);
  EXPECT_EQ(text::FieldCount("aaaa", "aa"), 3u);
  EXPECT_EQ(text::FieldAt("a  b", " ", 1), "a");
  EXPECT_EQ(text::FieldAt("a  b", " ", 2), "");
  EXPECT_EQ(text::FieldAt("a  b", " ", 3), "b");
  EXPECT_EQ(text::FieldAt("a  b", " ", 4), "");
  EXPECT_EQ(text::FieldAt("a  b", " ", 0), "");
  EXPECT_EQ(text::FieldAt("one--two", "--", 2), "two");
}

TEST(Fields, DelimiterModeRebuildsTheText) {
  for (std::string s : {"a b c", " a  b ", "", "abc", "   "}) {
    std::string joined;
    std::size_t n = text::FieldCount(s, " ");
    for (std::size_t i = 1; i <= n; ++i) {
      if (i > 1) joined += ' ';
      joined += text::FieldAt(s, " ", i);
    }
    EXPECT_EQ(joined, s);
  }
}

TEST(Fields, CommaMode) {
  EXPECT_EQ(text::FieldCount("x,y,z", ""), 3u);
  EXPECT_EQ(text::FieldCount("", ""), 1u);
  EXPECT_EQ(text::FieldCount("a,", ""), 2u);
  EXPECT_EQ(text::FieldCount("\"a,b\",c", ""), 2u);
  EXPECT_EQ(text::FieldCount("\"a,b", ""), 1u);  // quote never closed
  EXPECT_EQ(text::FieldAt(" a , b ", "", 1), "a");
  EXPECT_EQ(text::FieldAt(" a , b ", "", 2), "b");
  EXPECT_EQ(text::FieldAt(" a , b ", "", 3), "");
  EXPECT_EQ(text::FieldAt("\"a,b\" junk,c", "", 1), "a,b");
  EXPECT_EQ(text::FieldAt("\"a,b\" junk,c", "", 2), "c");
  EXPECT_EQ(text::FieldAt("\"open", "", 1), "open");
  EXPECT_EQ(text::FieldAt("x,tvrip-*\",y", "", 2), "tvrip-*\"");
  EXPECT_EQ(text::FieldAt("a,,b", "", 2), "");
}

}  // namespace
