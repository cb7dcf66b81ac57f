// The case forms of UTF-8 names by the Unicode mapping, the same on every
// build; on Linux, the table against the utf8proc it was made from.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <utf8proc.h>
#endif

#include <string>
#include <vector>

#include "text/case.h"
#include "text/unicode_case.h"
#include "text/utf8.h"

namespace {

const text::CaseMapping& kUnicode = text::UnicodeCaseMapping();

bool IsValidUtf8(std::string_view s) {
  for (std::size_t at = 0, length; at < s.size(); at += length) {
    length = text::DecodeUtf8(s, at).length;
    if (length == 0) return false;
  }
  return true;
}

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
      // Accented letters are letters: no word breaks at them.
      {"ça va", "ça va", "ÇA VA", "Ça Va"},
      {"über größe", "über größe", "ÜBER GRÖßE", "Über Größe"},
      {"CAFÉ CRÈME", "café crème", "CAFÉ CRÈME", "Café Crème"},
      {"łódź łąka", "łódź łąka", "ŁÓDŹ ŁĄKA", "Łódź Łąka"},
      {"žluťoučký kůň", "žluťoučký kůň", "ŽLUŤOUČKÝ KŮŇ", "Žluťoučký Kůň"},
      {"ßa", "ßa", "ßA", "ßa"},  // ß is a letter: "a" goes on its word
      {"xıy", "xıy", "XıY", "Xıy"},
      // A capital sigma that ends a word lowers to the final form.
      {"ΣΊΣΥΦΟΣ", "σίσυφος", "ΣΊΣΥΦΟΣ", "Σίσυφος"},
      {"ΟΔΟΣ ΣΟΦΙΑΣ", "οδος σοφιας", "ΟΔΟΣ ΣΟΦΙΑΣ", "Οδος Σοφιας"},
      {"ΑΣ", "ας", "ΑΣ", "Ας"},
      // Title case and dotless i have no pair both ways of the same length.
      {"ǅ", "ǅ", "ǅ", "ǅ"},
      {"ı", "ı", "ı", "ı"},
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
    EXPECT_EQ(text::MixedForm(c.in, kUnicode), c.mixed) << c.in;
    EXPECT_EQ(text::IsLowerForm(c.in, kUnicode), c.in == c.lower) << c.in;
    EXPECT_EQ(text::IsUpperForm(c.in, kUnicode), c.in == c.upper) << c.in;
    EXPECT_TRUE(text::IsLowerForm(c.lower, kUnicode)) << c.lower;
    EXPECT_TRUE(text::IsUpperForm(c.upper, kUnicode)) << c.upper;
  }
}

// The mixed form keeps the length, and keeps valid UTF-8 valid, for any text.
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
    const std::string form = text::MixedForm(s, kUnicode);
    EXPECT_EQ(form.size(), s.size());
    if (IsValidUtf8(s)) {
      EXPECT_TRUE(IsValidUtf8(form));
    }
  }
}

#ifndef _WIN32
// The committed table is what utf8proc says for every code point: a table
// made from another Unicode than the library's fails here (make case-table).
TEST(Utf8Case, TableIsUtf8procs) {
  int wrong = 0;
  for (char32_t c = 0; c <= 0x10FFFF && wrong < 10; ++c) {
    const auto u = static_cast<utf8proc_int32_t>(c);
    const auto category = utf8proc_category(u);
    const char32_t lower = static_cast<char32_t>(utf8proc_tolower(u));
    const char32_t upper = static_cast<char32_t>(utf8proc_toupper(u));
    const bool cased = category == UTF8PROC_CATEGORY_LU ||
                       category == UTF8PROC_CATEGORY_LL ||
                       category == UTF8PROC_CATEGORY_LT || lower != c || upper != c;
    if (kUnicode.lower(c) != lower || kUnicode.upper(c) != upper ||
        kUnicode.is_cased(c) != cased) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
      ++wrong;
    }
  }
}
#endif

}  // namespace
