#include <gtest/gtest.h>

#include <string>

#include "text/utf8.h"

namespace {

using namespace std::string_literals;

TEST(Utf8, DecodeRejectsWhatIsNotUtf8) {
  struct Good {
    std::string bytes;
    char32_t value;
  } goods[] = {{"a"s, 'a'},
               {"\xC2\x80"s, 0x80},
               {"\xE0\xA0\x80"s, 0x800},
               {"\xED\x9F\xBF"s, 0xD7FF},
               {"\xF0\x90\x80\x80"s, 0x10000},
               {"\xF0\x9F\x8E\xAC"s, 0x1F3AC},
               {"\xF4\x8F\xBF\xBF"s, 0x10FFFF}};
  for (const Good& g : goods) {
    text::CodePoint cp = text::DecodeUtf8(g.bytes, 0);
    EXPECT_EQ(cp.length, g.bytes.size());
    EXPECT_EQ(cp.value, g.value);
  }
  // A sequence cut short is told apart from one that can never be valid:
  // stray continuation bytes, overlong two-, three- and four-byte forms,
  // surrogates, values past U+10FFFF, a bad continuation.
  struct Bad {
    std::string bytes;
    bool cut_short;
  } bads[] = {{"\x80"s, false},         {"\xC0\xAF"s, false},
              {"\xC1\xBF"s, false},     {"\xE0\x80\xAF"s, false},
              {"\xE0\x9F\xBF"s, false}, {"\xF0\x80\x80\x80"s, false},
              {"\xF0\x8F\xBF\xBF"s, false}, {"\xF0\x8F"s, false},
              {"\xED\xA0\x80"s, false}, {"\xED\xA0"s, false},
              {"\xF4\x90\x80\x80"s, false}, {"\xF5\x80\x80\x80"s, false},
              {"\xF8\x88\x80\x80\x80"s, false}, {"\xC3x"s, false},
              {"\xE0\x80"s, false},     {"\xC3"s, true},
              {"\xE2\x82"s, true},      {"\xF0\x9F\x8E"s, true},
              {"\xF0\x90"s, true}};
  for (const Bad& b : bads) {
    text::CodePoint cp = text::DecodeUtf8(b.bytes, 0);
    EXPECT_EQ(cp.length, 0u) << testing::PrintToString(b.bytes);
    EXPECT_EQ(cp.cut_short, b.cut_short) << testing::PrintToString(b.bytes);
  }
}

}  // namespace
