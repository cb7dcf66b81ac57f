#ifdef _WIN32
#include <gtest/gtest.h>

#include <string>

#include "platform/windows/listing_rules.h"

namespace {

using namespace platform;

TEST(WindowsListingRules, PatternAndDirectoryPart) {
  struct Case {
    std::u16string operand, pattern, directory;
  } cases[] = {
      {u"*.txt", u"*.txt", u""},
      {u"sub\\", u"sub\\*.*", u"sub\\"},
      {u"sub/", u"sub/*.*", u"sub/"},
      {u"D:", u"D:*.*", u"D:"},
      {u"D:*.avi", u"D:*.avi", u"D:"},
      {u"D:\\films\\*.avi", u"D:\\films\\*.avi", u"D:\\films\\"},
      {u"a/b\\c*.txt", u"a/b\\c*.txt", u"a/b\\"},
      {u"..\\x.txt", u"..\\x.txt", u"..\\"},
      {u"name", u"name", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SearchPattern(c.operand), c.pattern);
    EXPECT_EQ(std::u16string(DirectoryPart(c.operand)), c.directory);
  }
}

}  // namespace
#endif  // _WIN32
