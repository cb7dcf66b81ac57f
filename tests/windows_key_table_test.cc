#ifdef _WIN32
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/windows/key_table.h"

namespace {

using platform::AnswerKey;

TEST(WindowsKeyTable, GivesAnAnswerKeyPerKeyPress) {
  struct Case {
    char16_t ch;
    unsigned scan;
    bool alt;
    std::u16string answer;
  } cases[] = {
      {u'y', 0x15, false, u"y"},
      {u'Y', 0x15, false, u"Y"},
      {u'n', 0x31, false, u"n"},
      {13, 0x1C, false, std::u16string(1, 13)},
      {27, 0x01, false, std::u16string(1, 27)},
      {3, 0x2E, false, std::u16string(1, 3)},
      // Alt with a letter key is a command: 0 and the scan code.
      {u'y', 0x15, true, std::u16string{0, 0x15}},
      {u'q', 0x10, true, std::u16string{0, 0x10}},
      {u'm', 0x32, true, std::u16string{0, 0x32}},
      // Alt with a key outside the letter rows keeps its character.
      {u'1', 0x02, true, u"1"},
      {u'.', 0x34, true, u"."},
      // Keys without a character.
      {0, 0x48, false, std::u16string{0, 0x48}},  // up arrow
      {0, 0x3B, false, std::u16string{0, 0x3B}},  // F1
      {0, 0x01, false, std::u16string(1, 0)},
      // Only the low 8 bits of the scan code count.
      {0, 0x148, false, std::u16string{0, 0x48}},
  };
  for (const Case& c : cases) {
    std::optional<std::u16string> answer = AnswerKey(c.ch, c.scan, c.alt);
    ASSERT_TRUE(answer.has_value()) << "scan " << c.scan;
    EXPECT_EQ(*answer, c.answer) << "scan " << c.scan;
  }
}

TEST(WindowsKeyTable, ModifierAndLockKeysAloneAnswerNothing) {
  for (unsigned scan : {0x1Du, 0x2Au, 0x36u, 0x38u, 0x3Au, 0x45u, 0x46u}) {
    EXPECT_FALSE(AnswerKey(0, scan, false).has_value()) << scan;
    EXPECT_FALSE(AnswerKey(0, scan, true).has_value()) << scan;
  }
}

}  // namespace
#endif  // _WIN32
