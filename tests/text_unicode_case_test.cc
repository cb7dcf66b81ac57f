// The case forms of UTF-8 names by the Unicode mapping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/case.h"
#include "text/unicode_case.h"
#include "text/utf8.h"

namespace {

const text::CaseMapping& kUnicode = text::UnicodeCaseMapping();

TEST(Utf8Case, AsciiAsTheTablesAndLettersByTheirMapping) {
  struct Case {
    std::string in, lower, upper, mixed;
  } cases[] = {
      {"the matrix", "the matrix", "THE MATRIX", "The Matrix"},
      {"o'brien", "o'brien", "O'BRIEN", "O'Brien"},
      {"mp3s", "mp3s", "MP3S", "Mp3S"},
      {"ÄRGER IM BÜRO", "ärger im büro", "ÄRGER IM BÜRO", "Ärger Im Büro"},
      {"москва", "москва", "МОСКВА", "Москва"},
      {"STRAßE", "straße", "STRAßE", "Straße"},  // ß has no one-to-one upper
      // A capital sigma that ends a word lowers to the final form.
      {"ΣΊΣΥΦΟΣ", "σίσυφος", "ΣΊΣΥΦΟΣ", "Σίσυφος"},
      {"ΟΔΟΣ ΣΟΦΙΑΣ", "οδος σοφιας", "ΟΔΟΣ ΣΟΦΙΑΣ", "Οδος Σοφιας"},
      // Mappings that would change the length are not made.
      {"İ", "İ", "İ", "İ"},
      {"\xE2\x84\xAA", "\xE2\x84\xAA", "\xE2\x84\xAA", "\xE2\x84\xAA"},  // K
      // Invalid UTF-8 passes through untouched and is no letter.
      {"a\xC3" "b", "a\xC3" "b", "A\xC3" "B", "A\xC3" "B"},
      {"\xFF\xFE", "\xFF\xFE", "\xFF\xFE", "\xFF\xFE"},
      {"\xC3\xA4", "\xC3\xA4", "\xC3\x84", "\xC3\x84"},
      {"\xED\xA0\x80x", "\xED\xA0\x80x", "\xED\xA0\x80X", "\xED\xA0\x80X"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::LowerForm(c.in, kUnicode), c.lower) << c.in;
    EXPECT_EQ(text::UpperForm(c.in, kUnicode), c.upper) << c.in;
    EXPECT_EQ(text::MixedForm(c.in, kUnicode), c.mixed) << c.in;
  }
}

// Every form keeps the length, and keeps valid UTF-8 valid, for any text.
TEST(Utf8Case, KeepsLengthAndValidity) {
  unsigned seed = 99;
  auto next = [&seed] { return seed = seed * 1103515245 + 12345, seed >> 16; };
  const char32_t samples[] = {'a', 'Z', ' ', 0xE4, 0xC4, 0x3A3, 0x3C2, 0x3C3,
                              0x130, 0x131, 0x1C5, 0x10400, 0x10428, 0x212A,
                              0x1E9E, 0xDF, 0x49, 0x69, 0x2C65, 0x23A};
  for (int round = 0; round < 3000; ++round) {
    std::string s;
    int n = next() % 8;
    for (int i = 0; i < n; ++i) {
      if (next() % 5 == 0) {
        s.push_back(static_cast<char>(0x80 + next() % 0x80));  // stray byte
      } else {
        text::AppendUtf8(s, samples[next() % std::size(samples)]);
      }
    }
    bool valid = text::IsValidUtf8(s);
    for (const std::string& form : {text::LowerForm(s, kUnicode),
                                    text::UpperForm(s, kUnicode),
                                    text::MixedForm(s, kUnicode)}) {
      EXPECT_EQ(form.size(), s.size());
      if (valid) {
        EXPECT_TRUE(text::IsValidUtf8(form));
      }
    }
  }
}

// The tests without forming agree with comparing against the forms.
TEST(Utf8Case, TestsAgreeWithTheForms) {
  std::vector<std::string> samples = {
      "", "ABC", "abc", "Abc", "123 -_", "ÄRGER", "ärger", "Ärger", "STRAßE",
      "straße", "ǅ", "ǆ", "Ǆ", "İ", "ı", "K", "ΩMEGA", "ωmega", "東京",
      "\xC3", "A\xFF", "a\x80", "\xE2\x82", "ПРИВЕТ", "привет", "ΑΣ", "ας"};
  for (int b = 0; b < 256; ++b) samples.push_back(std::string(1, static_cast<char>(b)));
  for (const std::string& s : samples) {
    EXPECT_EQ(text::IsUpperForm(s, kUnicode), s == text::UpperForm(s, kUnicode)) << s;
    EXPECT_EQ(text::IsLowerForm(s, kUnicode), s == text::LowerForm(s, kUnicode)) << s;
  }
}

}  // namespace
