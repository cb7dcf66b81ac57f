#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/platform.h"
#include "platform/posix/command_tail.h"

namespace {

using namespace std::string_literals;

TEST(PosixCommandTail, JoinsArgumentsBySingleSpaces) {
  struct Case {
    std::vector<const char*> argv;
    std::string want;
  } cases[] = {
      {{"namewisp"}, ""},
      {{}, ""},
      {{"namewisp", "/y", "My Movie.avi"}, "/y My Movie.avi"},
      {{"namewisp", "/c", "*.txt"}, "/c *.txt"},
      {{"namewisp", ""}, ""},
      {{"namewisp", "", "x"}, " x"},
      {{"namewisp", "*.txt   "}, "*.txt   "},
      {{"namewisp", "\t*.txt"}, "\t*.txt"},
      {{"namewisp", "a\xff", "\xed\xa0\x80"}, "a\xff \xed\xa0\x80"},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv = c.argv;
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);
    EXPECT_EQ(platform::posix::JoinArguments(argc, argv.data()), c.want);
  }
}

TEST(PosixConversion, ToWideDecodesUtf8AndEscapesOtherBytes) {
  struct Case {
    std::string bytes;
    std::u16string want;
  } cases[] = {
      {"", u""},
      {"abc", u"abc"},
      {"a\0b"s, u"a\0b"s},
      {"caf\xc3\xa9", u"caf\u00e9"},
      {"\xe2\x82\xac", u"\u20ac"},
      {"\xf0\x9f\x98\x80", u"\U0001F600"},
      {"\xff", u"\xdcff"},
      {"\x80", u"\xdc80"},
      {"\xc3", u"\xdcc3"},                              // cut short
      {"\xc3(", u"\xdcc3("},                            // bad continuation
      {"\xc0\xaf", u"\xdcc0\xdcaf"},                    // overlong
      {"\xe0\x80\xaf", u"\xdce0\xdc80\xdcaf"},          // overlong
      {"\xed\xa0\x80", u"\xdced\xdca0\xdc80"},          // a surrogate
      {"\xf4\x90\x80\x80", u"\xdcf4\xdc90\xdc80\xdc80"},  // past U+10FFFF
      {"\xf8\x88\x80\x80\x80", u"\xdcf8\xdc88\xdc80\xdc80\xdc80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::ToWide(c.bytes), c.want);
  }
}

TEST(PosixConversion, ToAnsiEncodesUtf8AndRestoresEscapedBytes) {
  struct Case {
    std::u16string text;
    std::string want;
  } cases[] = {
      {u"", ""},
      {u"/y My Movie.avi", "/y My Movie.avi"},
      {u"\u00e9\u20ac", "\xc3\xa9\xe2\x82\xac"},
      {u"\U0001F600", "\xf0\x9f\x98\x80"},
      {u"\xdcff\xdc80", "\xff\x80"},
      {u"\xd800", "\xef\xbf\xbd"},  // a lone high surrogate: U+FFFD
      {u"\xdc41", "\xef\xbf\xbd"},  // a low one that escapes no byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::ToAnsi(c.text), c.want);
  }
}

TEST(PosixConversion, RoundTripGivesBackEveryByteString) {
  const std::string fixed[] = {
      "", "\0"s, "\0\0\xff"s, "\xed\xa0\x80", "\xed\xb3\xbf",
      "\xee\x80\x80", "\xc3\xa9\xc3", "a\xf0\x9f\x98", "\x7f\x80\xbf\xc0\xc1",
  };
  for (const std::string& x : fixed) {
    EXPECT_EQ(platform::ToAnsi(platform::ToWide(x)), x);
  }
  // Every byte string of one and two bytes, then random longer ones.
  for (int a = 0; a < 256; ++a) {
    for (int b = -1; b < 256; ++b) {
      std::string x(1, static_cast<char>(a));
      if (b >= 0) x.push_back(static_cast<char>(b));
      ASSERT_EQ(platform::ToAnsi(platform::ToWide(x)), x) << a << " " << b;
    }
  }
  std::mt19937 random(42);
  for (int i = 0; i < 20000; ++i) {
    std::string x(random() % 12, '\0');
    for (char& c : x) {
      // Bias toward the bytes of multi-byte sequences.
      c = static_cast<char>(random() % 3 ? 0x80 + random() % 0x80
                                         : random() % 256);
    }
    ASSERT_EQ(platform::ToAnsi(platform::ToWide(x)), x);
  }
}

}  // namespace
