#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/key_decoding.h"

namespace {

using namespace std::string_literals;
using platform::posix::DecodeKey;
using platform::posix::KeyDecoding;

TEST(PosixKeyDecoding, OneKeyFromCompleteBytes) {
  struct Case {
    const char* what;
    std::string bytes;
    bool at_pause;
    std::size_t consumed;
    bool yes;
  } cases[] = {
      {"y", "y", false, 1, true},
      {"Y", "Y", false, 1, true},
      {"n", "n", false, 1, false},
      {"Enter", "\r", false, 1, false},
      {"NUL (Ctrl+Space)", "\0"s, false, 1, false},
      {"lone Esc", "\x1b", true, 1, false},
      {"Up", "\x1b[A", false, 3, false},
      {"Up, application mode", "\x1bOA", false, 3, false},
      {"Ctrl+Up", "\x1b[1;5A", false, 6, false},
      {"Delete", "\x1b[3~", false, 4, false},
      {"Shift+Delete", "\x1b[3;2~", false, 6, false},
      {"F1 (xterm)", "\x1bOP", false, 3, false},
      {"F1 (rxvt)", "\x1b[11~", false, 5, false},
      {"F1 (Linux console)", "\x1b[[A", false, 4, false},
      {"Shift+F1", "\x1b[1;2P", false, 6, false},
      {"Alt+y", "\x1by", false, 2, false},
      {"Alt+Y", "\x1bY", false, 2, false},
      {"Alt+O alone", "\x1bO", true, 2, false},
      {"Alt+[ alone", "\x1b[", true, 2, false},
      {"Alt+Esc", "\x1b\x1b", true, 2, false},
      {"Alt+Up", "\x1b\x1b[A", false, 4, false},
      {"Alt+e acute", "\x1b\xc3\xa9", false, 3, false},
      {"e acute", "\xc3\xa9", false, 2, false},
      {"emoji", "\xf0\x9f\x98\x80", false, 4, false},
      {"stray byte", "\xff", false, 1, false},
      {"cut-short UTF-8 at pause", "\xc3", true, 1, false},
      {"broken CSI", "\x1b[1\x03", false, 3, false},
      {"overlong sequence", "\x1b[" + std::string(40, '1'), false, 42, false},
  };
  for (const Case& c : cases) {
    const KeyDecoding d = DecodeKey(c.bytes, c.at_pause);
    EXPECT_EQ(d.status, KeyDecoding::kKey) << c.what;
    EXPECT_EQ(d.consumed, c.consumed) << c.what;
    EXPECT_EQ(d.yes, c.yes) << c.what;
  }
}

TEST(PosixKeyDecoding, WaitsForTheRestOfASequence) {
  const std::string starts[] = {"\x1b", "\x1b[", "\x1b[1", "\x1b[1;5",
                                "\x1bO", "\x1b[[", "\xc3", "\xe2\x82",
                                "\xf0\x9f\x98", "\x1b\x1b", "\x1b\x1b["};
  for (const std::string& s : starts) {
    EXPECT_EQ(DecodeKey(s, false).status, KeyDecoding::kNeedMore)
        << testing::PrintToString(s);
    // After the pause the same bytes give one key and are all used up, or
    // leave the rest for the next key; never nothing, never a yes.
    const KeyDecoding at_pause = DecodeKey(s, true);
    EXPECT_EQ(at_pause.status, KeyDecoding::kKey);
    EXPECT_GE(at_pause.consumed, 1u);
    EXPECT_FALSE(at_pause.yes);
  }
}

TEST(PosixKeyDecoding, KeysTypedAheadComeOneByOne) {
  struct Case {
    std::string bytes;
    std::vector<std::size_t> lengths;
  } cases[] = {
      {"yn", {1, 1}},
      {"\x1b[Ay", {3, 1}},
      {"y\x1b[A\r", {1, 3, 1}},
      {"\xc3\xa9Y", {2, 1}},
      {"\x1bOP\x1b[24~n", {3, 5, 1}},
      {"\x1b[1\x03y", {3, 1, 1}},
  };
  for (const Case& c : cases) {
    std::string pending = c.bytes;
    std::vector<std::size_t> lengths;
    while (!pending.empty()) {
      // Typed ahead: everything is there, so the end is a pause.
      const KeyDecoding d = DecodeKey(pending, true);
      ASSERT_EQ(d.status, KeyDecoding::kKey);
      ASSERT_GE(d.consumed, 1u);
      lengths.push_back(d.consumed);
      pending.erase(0, d.consumed);
    }
    EXPECT_EQ(lengths, c.lengths) << testing::PrintToString(c.bytes);
  }
}

TEST(PosixKeyDecoding, OnlyTheYKeysAnswerYes) {
  // Every single byte and every ESC + byte: a yes only from y and Y alone.
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(DecodeKey(one, true).yes, b == 'y' || b == 'Y') << b;
    EXPECT_FALSE(DecodeKey("\x1b" + one, true).yes) << b;
  }
}

}  // namespace
