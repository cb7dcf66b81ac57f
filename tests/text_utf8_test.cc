#include <gtest/gtest.h>

#include <string>

#include "text/utf8.h"

namespace {

using namespace std::string_literals;

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

}  // namespace
