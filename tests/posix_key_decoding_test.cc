#include <gtest/gtest.h>

#include <string>

#include "platform/posix/key_decoding.h"

namespace {

using namespace std::string_literals;
using platform::posix::DecodeKey;
using platform::posix::KeyDecoding;
namespace key_code = platform::posix::key_code;

std::u16string Coded(char16_t code) { return std::u16string{u'\0', code}; }

TEST(PosixKeyDecoding, OneKeyFromCompleteBytes) {
  struct Case {
    const char* what;
    std::string bytes;
    bool at_pause;
    std::u16string key;
    std::size_t consumed;
  } cases[] = {
      {"y", "y", false, u"y", 1},
      {"Y", "Y", false, u"Y", 1},
      {"n", "n", false, u"n", 1},
      {"space", " ", false, u" ", 1},
      {"Enter as CR", "\r", false, u"\r", 1},
      {"Enter as LF", "\n", false, u"\r", 1},
      {"Backspace as DEL", "\x7f", false, u"\b", 1},
      {"Ctrl+C", "\x03", false, u"\x03", 1},
      {"NUL (Ctrl+Space)", "\0"s, false, u"\0"s, 1},
      {"lone Esc", "\x1b", true, u"\x1b", 1},
      {"Up", "\x1b[A", false, Coded(key_code::kUp), 3},
      {"Down", "\x1b[B", false, Coded(key_code::kDown), 3},
      {"Right", "\x1b[C", false, Coded(key_code::kRight), 3},
      {"Left", "\x1b[D", false, Coded(key_code::kLeft), 3},
      {"Up, application mode", "\x1bOA", false, Coded(key_code::kUp), 3},
      {"Ctrl+Up", "\x1b[1;5A", false, Coded(key_code::kUp), 6},
      {"Home", "\x1b[H", false, Coded(key_code::kHome), 3},
      {"Home as 1~", "\x1b[1~", false, Coded(key_code::kHome), 4},
      {"End", "\x1b[F", false, Coded(key_code::kEnd), 3},
      {"Insert", "\x1b[2~", false, Coded(key_code::kInsert), 4},
      {"Delete", "\x1b[3~", false, Coded(key_code::kDelete), 4},
      {"Shift+Delete", "\x1b[3;2~", false, Coded(key_code::kDelete), 6},
      {"PageUp", "\x1b[5~", false, Coded(key_code::kPageUp), 4},
      {"PageDown", "\x1b[6~", false, Coded(key_code::kPageDown), 4},
      {"F1 (xterm)", "\x1bOP", false, Coded(key_code::kF1), 3},
      {"F4 (xterm)", "\x1bOS", false, Coded(key_code::kF1 + 3), 3},
      {"F1 (rxvt)", "\x1b[11~", false, Coded(key_code::kF1), 5},
      {"F1 (Linux console)", "\x1b[[A", false, Coded(key_code::kF1), 4},
      {"F5", "\x1b[15~", false, Coded(key_code::kF1 + 4), 5},
      {"F6", "\x1b[17~", false, Coded(key_code::kF1 + 5), 5},
      {"F10", "\x1b[21~", false, Coded(key_code::kF1 + 9), 5},
      {"F11", "\x1b[23~", false, Coded(key_code::kF11), 5},
      {"F12", "\x1b[24~", false, Coded(key_code::kF12), 5},
      {"Shift+F1", "\x1b[1;2P", false, Coded(key_code::kF1), 6},
      {"Shift+Tab", "\x1b[Z", false, Coded(key_code::kShiftTab), 3},
      {"unknown CSI", "\x1b[99~", false, Coded(key_code::kUnknown), 5},
      {"Alt+y", "\x1by", false, Coded(0x15), 2},
      {"Alt+Y", "\x1bY", false, Coded(0x15), 2},
      {"Alt+n", "\x1bn", false, Coded(0x31), 2},
      {"Alt+1", "\x1b" "1", false, Coded(key_code::kAlt), 2},
      {"Alt+O alone", "\x1bO", true, Coded(0x18), 2},
      {"Alt+[ alone", "\x1b[", true, Coded(key_code::kAlt), 2},
      {"Alt+Esc", "\x1b\x1b", true, Coded(key_code::kEsc), 2},
      {"Alt+Up", "\x1b\x1b[A", false, Coded(key_code::kUp), 4},
      {"Alt+e acute", "\x1b\xc3\xa9", false, Coded(key_code::kAlt), 3},
      {"e acute", "\xc3\xa9", false, u"\u00e9", 2},
      {"euro", "\xe2\x82\xac", false, u"\u20ac", 3},
      {"emoji", "\xf0\x9f\x98\x80", false, u"\U0001F600", 4},
      {"Cyrillic ya", "\xd1\x8f", false, u"\u044f", 2},
      {"stray byte", "\xff", false, u"\xdcff", 1},
      {"cut-short UTF-8 at pause", "\xc3", true, u"\xdcc3", 1},
      {"broken CSI", "\x1b[1\x03", false, Coded(key_code::kUnknown), 3},
  };
  for (const Case& c : cases) {
    const KeyDecoding d = DecodeKey(c.bytes, c.at_pause);
    EXPECT_EQ(d.status, KeyDecoding::kKey) << c.what;
    EXPECT_EQ(d.key, c.key) << c.what;
    EXPECT_EQ(d.consumed, c.consumed) << c.what;
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
    // leave the rest for the next key; never nothing.
    const KeyDecoding at_pause = DecodeKey(s, true);
    EXPECT_EQ(at_pause.status, KeyDecoding::kKey);
    EXPECT_GE(at_pause.consumed, 1u);
    EXPECT_NE(at_pause.key, u"y");
  }
}

TEST(PosixKeyDecoding, KeysTypedAheadComeOneByOne) {
  struct Case {
    std::string bytes;
    std::vector<std::u16string> keys;
  } cases[] = {
      {"yn", {u"y", u"n"}},
      {"\x1b[Ay", {Coded(key_code::kUp), u"y"}},
      {"y\x1b[A\r", {u"y", Coded(key_code::kUp), u"\r"}},
      {"\xc3\xa9Y", {u"\u00e9", u"Y"}},
      {"\x1bOP\x1b[24~n", {Coded(key_code::kF1), Coded(key_code::kF12), u"n"}},
      {"\x03y", {u"\x03", u"y"}},
      {"\x1b[1\x03y", {Coded(key_code::kUnknown), u"\x03", u"y"}},
  };
  for (const Case& c : cases) {
    std::string pending = c.bytes;
    std::vector<std::u16string> keys;
    while (!pending.empty()) {
      // Typed ahead: everything is there, so the end is a pause.
      const KeyDecoding d = DecodeKey(pending, true);
      ASSERT_EQ(d.status, KeyDecoding::kKey);
      ASSERT_GE(d.consumed, 1u);
      keys.push_back(d.key);
      pending.erase(0, d.consumed);
    }
    EXPECT_EQ(keys, c.keys) << testing::PrintToString(c.bytes);
  }
}

TEST(PosixKeyDecoding, OnlyTheYKeysAnswerYes) {
  // Every single byte and every ESC + byte: a yes only from y and Y.
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const KeyDecoding d = DecodeKey(one, true);
    const bool yes = d.key == u"y" || d.key == u"Y";
    EXPECT_EQ(yes, b == 'y' || b == 'Y') << b;
    const KeyDecoding alt = DecodeKey("\x1b" + one, true);
    EXPECT_NE(alt.key, u"y");
    EXPECT_NE(alt.key, u"Y");
  }
}

TEST(PosixKeyDecoding, OverlongSequenceIsOneUnknownKey) {
  const std::string garbage = "\x1b[" + std::string(40, '1');
  const KeyDecoding d = DecodeKey(garbage, false);
  EXPECT_EQ(d.status, KeyDecoding::kKey);
  EXPECT_EQ(d.key, Coded(key_code::kUnknown));
}

}  // namespace
