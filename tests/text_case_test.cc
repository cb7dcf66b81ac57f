#include <gtest/gtest.h>

#include <string>

#include "text/case.h"

namespace {

// A mapping of one pair beyond ASCII, as a platform would hand it in: the
// forms take exactly what it says, and a pair that changes the length in
// bytes is not made.
char32_t ToyLower(char32_t c) { return c == 0xC4 ? 0xE4 : c == 0x100 ? 'a' : c; }
char32_t ToyUpper(char32_t c) { return c == 0xE4 ? 0xC4 : c; }
bool ToyCased(char32_t c) { return c == 0xC4 || c == 0xE4 || c == 0x100; }
constexpr text::CaseMapping kToy{ToyLower, ToyUpper, ToyCased};

TEST(Case, FormsByTheMappingHandedIn) {
  struct Case {
    std::string in, lower, upper, mixed;
  } cases[] = {
      {"the matrix", "the matrix", "THE MATRIX", "The Matrix"},
      {"o'brien", "o'brien", "O'BRIEN", "O'Brien"},
      {"2nd season", "2nd season", "2ND SEASON", "2Nd Season"},
      {"x264-group", "x264-group", "X264-GROUP", "X264-Group"},
      {"(hello) world", "(hello) world", "(HELLO) WORLD", "(Hello) World"},
      {"\xC3\x84RGER", "\xC3\xA4rger", "\xC3\x84RGER", "\xC3\x84rger"},
      {"\xC4\x80x", "\xC4\x80x", "\xC4\x80X", "\xC4\x80x"},  // would shrink
      {"a\xFF" "b", "a\xFF" "b", "A\xFF" "B", "A\xFF" "B"},     // no character
      // A combining mark belongs to the letter before it (E + U+0301).
      {"E\xCC\x81" "COLE DES", "e\xCC\x81" "cole des", "E\xCC\x81" "COLE DES",
       "E\xCC\x81" "cole Des"},
      {"n\xCC\x83o \xCC\x81x", "n\xCC\x83o \xCC\x81x", "N\xCC\x83O \xCC\x81X",
       "N\xCC\x83o \xCC\x81X"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::MixedForm(c.in, kToy), c.mixed) << c.in;
    EXPECT_EQ(text::IsLowerForm(c.in, kToy), c.in == c.lower) << c.in;
    EXPECT_EQ(text::IsUpperForm(c.in, kToy), c.in == c.upper) << c.in;
    EXPECT_TRUE(text::IsLowerForm(c.lower, kToy)) << c.lower;
    EXPECT_TRUE(text::IsUpperForm(c.upper, kToy)) << c.upper;
  }
  // Without a mapping only ASCII letters have case: "\xC3\xA4" starts a word,
  // and a capital sigma stays as it is, also at a word's end.
  EXPECT_EQ(text::MixedForm("N\xCE\xA3", text::AsciiOnlyMapping()), "N\xCE\xA3");
  EXPECT_TRUE(text::IsLowerForm("n\xCE\xA3", text::AsciiOnlyMapping()));
  EXPECT_EQ(text::MixedForm("\xC3\xA4rger", text::AsciiOnlyMapping()),
            "\xC3\xA4Rger");
  EXPECT_EQ(text::AsciiLowerForm("XviD \xC3\x84"), "xvid \xC3\x84");
}

}  // namespace
