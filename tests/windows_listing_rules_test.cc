#ifdef _WIN32
#include <gtest/gtest.h>

#include <string>

#include "platform/windows/listing_rules.h"

namespace {

using namespace platform;

TEST(WindowsListingRules, EffectiveMaskClearsBitsThatSelectNothing) {
  struct Case {
    unsigned code, mask;
  } cases[] = {
      {0x80, 0},    {0x10, 0x10}, {0x90, 0x90}, {0xA1, 0},
      {0xF1, 0x90}, {0x82, 0x82}, {0x00, 0},    {0x61, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EffectiveMask(c.code), c.mask) << std::hex << c.code;
}

TEST(WindowsListingRules, SelectsByModeAndAttributes) {
  constexpr unsigned kPlain = 0x80, kReadOnly = 0x01, kArchive = 0x20;
  struct Case {
    unsigned code, attributes;
    bool selected;
  } cases[] = {
      {0x80, kPlain, true},
      {0x80, kReadOnly, true},
      {0x80, kArchive | kReadOnly, true},
      {0x80, kHidden, false},
      {0x80, kSystem, false},
      {0x80, kDirectory, false},
      {0x10, kArchive, true},
      {0x10, kDirectory, true},
      {0x10, kDirectory | kHidden, false},
      {0x10, kDirectory | kSystem, false},
      {0x90, kDirectory, true},
      {0x90, kDirectory | kReadOnly, true},
      {0x90, kPlain, false},
      {0x90, kDirectory | kHidden, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Selected(EffectiveMask(c.code), c.attributes, u"x"), c.selected)
        << "code " << c.code << " attributes " << c.attributes;
  }
}

TEST(WindowsListingRules, DotEntriesNeverComeBack) {
  for (unsigned code : {0x80u, 0x10u, 0x90u}) {
    EXPECT_FALSE(Selected(EffectiveMask(code), kDirectory, u"."));
    EXPECT_FALSE(Selected(EffectiveMask(code), kDirectory, u".."));
    EXPECT_EQ(Selected(EffectiveMask(code), kDirectory, u"..."),
              code != 0x80);
  }
}

TEST(WindowsListingRules, PatternAndDirectoryPart) {
  struct Case {
    std::u16string spec, pattern, directory;
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
    EXPECT_EQ(SearchPattern(c.spec), c.pattern);
    EXPECT_EQ(std::u16string(DirectoryPart(c.spec)), c.directory);
  }
}

}  // namespace
#endif  // _WIN32
