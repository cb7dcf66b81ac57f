#ifdef _WIN32
#include <gtest/gtest.h>

#include <string>

#include "platform/windows/command_tail.h"

namespace {

std::u16string Tail(std::u16string_view line) {
  return std::u16string(line.substr(platform::windows::TailPosition(line)));
}

TEST(WindowsCommandTail, FollowsTheNameRules) {
  struct Case {
    std::u16string line;
    std::u16string tail;
  } cases[] = {
      {u"namewisp", u""},
      {u"namewisp   ", u""},
      {u"\"C:\\Tools\\namewisp.exe\"  /c *.txt", u"/c *.txt"},
      {u"\"C:\\Tools\\namewisp.exe\"/c *.txt", u"/c *.txt"},
      {u"namewisp  *.txt   ", u"*.txt   "},
      {u"namewisp\t*.txt", u"\t*.txt"},
      {u"namewisp\"a b\"", u"b\""},
      // A name of characters above 0x7F is one name.
      {u"n\u00e4mewisp\u4e2d /y x", u"/y x"},
      // Leading spaces: the name is empty.
      {u"   /y x", u"/y x"},
      // Left open by the rules: no closing quote, or no line at all.
      {u"\"namewisp /y x", u""},
      {u"", u""},
      {u"\"\"", u""},
      {u"\"\" /y", u"/y"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Tail(c.line), c.tail)
        << "line of " << c.line.size() << " units";
  }
}

}  // namespace
#endif  // _WIN32
