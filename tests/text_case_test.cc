#include <gtest/gtest.h>

#include <vector>

#include "text/case.h"
#include "text/utf8.h"
#include "text/wide.h"

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
    EXPECT_EQ(text::utf8_case::Lower(c.in), c.lower) << c.in;
    EXPECT_EQ(text::utf8_case::Upper(c.in), c.upper) << c.in;
    EXPECT_EQ(text::utf8_case::Mixed(c.in), c.mixed) << c.in;
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
    for (const std::string& form : {text::utf8_case::Lower(s),
                                    text::utf8_case::Upper(s),
                                    text::utf8_case::Mixed(s)}) {
      EXPECT_EQ(form.size(), s.size());
      if (valid) {
        EXPECT_TRUE(text::IsValidUtf8(form));
      }
    }
  }
}

TEST(Utf8, DecodeRejectsWhatIsNotUtf8) {
  EXPECT_TRUE(text::IsValidUtf8("plain ascii"));
  EXPECT_TRUE(text::IsValidUtf8("\xF0\x9F\x8E\xAC"));  // U+1F3AC
  for (std::string bad : {"\x80"s, "\xC0\xAF"s, "\xE0\x80\xAF"s,
                          "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s, "\xC3"s,
                          "\xE2\x82"s, "\xF8\x88\x80\x80\x80"s}) {
    EXPECT_FALSE(text::IsValidUtf8(bad)) << bad.size();
  }
  // A sequence cut short is told apart from one that can never be valid.
  struct Cut {
    std::string bytes;
    bool cut_short;
  } cuts[] = {{"\xC3"s, true},     {"\xE2\x82"s, true}, {"\xF0\x9F\x8E"s, true},
              {"\xE0\x80"s, false}, {"\xED\xA0"s, false}, {"\x80"s, false},
              {"\xC3x"s, false}};
  for (const Cut& c : cuts) {
    text::CodePoint cp = text::DecodeUtf8(c.bytes, 0);
    EXPECT_EQ(cp.length, 0u);
    EXPECT_EQ(cp.cut_short, c.cut_short) << c.bytes.size();
  }
}

TEST(Wide, FindAndLowerForm) {
  EXPECT_EQ(text::WideFind(u"x /h", u"/h"), 3u);
  EXPECT_EQ(text::WideFind(u"", u""), 0u);
  EXPECT_EQ(text::WideFind(u"ab", u"", 2), 2u);
  EXPECT_EQ(text::WideFind(u"ab", u"b", 3), 0u);
  EXPECT_EQ(text::WideLowerForm(u"X /H Y"), u"x /h y");
  EXPECT_EQ(text::WideLowerForm(u"\u00C4\u0416"), u"\u00E4\u0436");
  std::u16string lone = u"a";
  lone.push_back(0xDC80);
  EXPECT_EQ(text::WideLowerForm(lone), lone);
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
    EXPECT_EQ(text::utf8_case::IsUpper(s), s == text::utf8_case::Upper(s)) << s;
    EXPECT_EQ(text::utf8_case::IsLower(s), s == text::utf8_case::Lower(s)) << s;
    EXPECT_EQ(text::bytes_case::IsUpper(s), s == text::bytes_case::Upper(s)) << s;
    EXPECT_EQ(text::bytes_case::IsLower(s), s == text::bytes_case::Lower(s)) << s;
  }
}

}  // namespace
