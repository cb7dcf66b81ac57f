#include <gtest/gtest.h>

#include <vector>

#include "text/case.h"

namespace {

using namespace std::string_literals;

TEST(BytesCase, Tables) {
  EXPECT_EQ(text::bytes_case::Lower("ABC 123"), "abc 123");
  EXPECT_EQ(text::bytes_case::Upper("abc 123"), "ABC 123");
  EXPECT_EQ(text::bytes_case::Lower("\x8E"), "\x84");
  EXPECT_EQ(text::bytes_case::Lower("\x92"), "\x92");
  EXPECT_EQ(text::bytes_case::Upper("\xA4\x81"), "\xA5\x9A");
  // Both tables are inverse on letters and identity elsewhere.
  for (int b = 0; b < 256; ++b) {
    std::string s(1, static_cast<char>(b));
    std::string lower = text::bytes_case::Lower(s);
    std::string upper = text::bytes_case::Upper(s);
    bool letter = text::bytes_case::IsLetter(static_cast<unsigned char>(b));
    EXPECT_EQ(letter, lower != upper) << b;
    EXPECT_EQ(text::bytes_case::Upper(lower), upper) << b;
    EXPECT_EQ(text::bytes_case::Lower(upper), lower) << b;
  }
  int letters = 0;
  for (int b = 0x80; b < 256; ++b) letters += text::bytes_case::IsLetter(b);
  EXPECT_EQ(letters, 14);
}

TEST(BytesCase, Mixed) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"the matrix", "The Matrix"}, {"o'brien", "O'Brien"},
      {"2nd season", "2Nd Season"}, {"mp3s", "Mp3S"},
      {"x264-group", "X264-Group"}, {"DVD RIP", "Dvd Rip"},
      {"(hello) world", "(Hello) World"}, {"", ""},
      {"a_b.d", "A_B.D"},           {"\x84rger", "\x8Erger"},
  };
  for (const Case& c : cases) EXPECT_EQ(text::bytes_case::Mixed(c.in), c.out) << c.in;
}

}  // namespace

namespace {

// The tests without forming agree with comparing against the forms.
TEST(CaseTests, AgreeWithTheForms) {
  std::vector<std::string> samples = {
      "", "ABC", "abc", "Abc", "123 -_", "ÄRGER", "ärger", "Ärger", "STRAßE",
      "straße", "ǅ", "ǆ", "Ǆ", "İ", "ı", "K", "ΩMEGA", "ωmega", "東京",
      "\xC3", "A\xFF", "a\x80", "\xE2\x82", "ПРИВЕТ", "привет"};
  for (int b = 0; b < 256; ++b) samples.push_back(std::string(1, static_cast<char>(b)));
  for (const std::string& s : samples) {
    EXPECT_EQ(text::bytes_case::IsUpper(s), s == text::bytes_case::Upper(s)) << s;
    EXPECT_EQ(text::bytes_case::IsLower(s), s == text::bytes_case::Lower(s)) << s;
  }
}

}  // namespace
