#include <gtest/gtest.h>

#include <string>

#include "platform/posix/selection.h"
#include "platform/posix/wildcard.h"

namespace {

using namespace platform::posix;

TEST(PosixWildcard, SplitSpec) {
  struct Case {
    std::string spec, directory, pattern;
  } cases[] = {
      {"*.avi", "", "*.avi"},
      {"sub/*.txt", "sub/", "*.txt"},
      {"sub/", "sub/", "*"},
      {"/", "/", "*"},
      {"/tmp/x/a?c", "/tmp/x/", "a?c"},
      {"a/b/c", "a/b/", "c"},
      {"My Movie.avi", "", "My Movie.avi"},
      {"./*", "./", "*"},
  };
  for (const Case& c : cases) {
    const SplitSpecResult r = SplitSpec(c.spec);
    EXPECT_EQ(r.directory, c.directory) << c.spec;
    EXPECT_EQ(r.pattern, c.pattern) << c.spec;
  }
}

TEST(PosixWildcard, Matching) {
  struct Case {
    std::string pattern, name;
    bool want;
  } cases[] = {
      {"*", "anything.avi", true},
      {"*", "noperiod", true},
      {"*.*", "noperiod", true},
      {"*.*", "a.b.c", true},
      {"*.*", ".hidden", true},
      {"*.avi", "X.AVI", true},
      {"*.AVI", "x.avi", true},
      {"*.avi", "x.avi.part", false},
      {"*.avi", "avi", false},
      {"*.avi", ".avi", true},
      {"readme.*", "readme", true},
      {"readme.*", "README.md", true},
      {"readme.*", "readme2", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a?c", "abbc", false},
      {"a?c", "a\xc3\xa9" "c", true},  // ? is one character, not one byte
      {"a??c", "a\xc3\xa9" "c", false},
      {"a?c", "a\xff" "c", true},      // a byte that is no character
      {"\xc3\xa9*", "\xc3\xa9t\xc3\xa9", true},
      {"\xc3\xa9*", "\xc3\x89t\xc3\xa9", false},  // only ASCII is case-blind
      {"My Movie.avi", "my movie.AVI", true},
      {"My Movie.avi", "My Movie.avi2", false},
      {"*a*b*c*", "xxaxxbxxcxx", true},
      {"*a*b*c*", "xxaxxcxxbxx", false},
      {"*x", "", false},
      {"", "", true},
      {"", "a", false},
      {"**", "abc", true},
      {"*.tar.gz", "file.TAR.GZ", true},
      {"[a]*", "[a]b", true},  // brackets are plain characters
      {"[a]*", "ab", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.want)
        << c.pattern << " vs " << c.name;
  }
}

TEST(PosixWildcard, ManyStarsStayFast) {
  const std::string name(5000, 'a');
  EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*a*a*", name));
}

TEST(PosixSelection, EffectiveMask) {
  EXPECT_EQ(EffectiveMask(0x80), 0);
  EXPECT_EQ(EffectiveMask(0x10), 0x10);
  EXPECT_EQ(EffectiveMask(0x90), 0x90);
  EXPECT_EQ(EffectiveMask(0x80 | 0x01 | 0x20 | 0x40), 0);
  EXPECT_EQ(EffectiveMask(0x82), 0x82);
}

TEST(PosixSelection, Attributes) {
  EXPECT_EQ(EntryAttributes("a.txt", EntryKind::kFile), 0);
  EXPECT_EQ(EntryAttributes(".a", EntryKind::kFile), kHiddenBit);
  EXPECT_EQ(EntryAttributes("d", EntryKind::kDirectory), kDirectoryBit);
  EXPECT_EQ(EntryAttributes(".d", EntryKind::kDirectory),
            kHiddenBit | kDirectoryBit);
  EXPECT_EQ(EntryAttributes("fifo", EntryKind::kSystem), kSystemBit);
}

TEST(PosixSelection, SelectionModes) {
  struct Entry {
    const char* name;
    EntryKind kind;
  } entries[] = {
      {"file", EntryKind::kFile},      {".hidden", EntryKind::kFile},
      {"dir", EntryKind::kDirectory},  {".hdir", EntryKind::kDirectory},
      {"fifo", EntryKind::kSystem},    {".", EntryKind::kDirectory},
      {"..", EntryKind::kDirectory},
  };
  struct Mode {
    int code;
    std::vector<std::string> want;
  } modes[] = {
      {0x80, {"file"}},
      {0x10, {"file", "dir"}},
      {0x90, {"dir"}},
  };
  for (const Mode& m : modes) {
    std::vector<std::string> got;
    for (const Entry& e : entries) {
      if (IsSelected(e.name, EntryAttributes(e.name, e.kind),
                     EffectiveMask(m.code))) {
        got.push_back(e.name);
      }
    }
    EXPECT_EQ(got, m.want) << m.code;
  }
  // "." and ".." never, even when hidden entries are asked for.
  EXPECT_FALSE(IsSelected(".", kHiddenBit | kDirectoryBit, 0x12));
  EXPECT_FALSE(IsSelected("..", kHiddenBit | kDirectoryBit, 0x12));
  EXPECT_TRUE(IsSelected(".d", kHiddenBit | kDirectoryBit, 0x12));
}

}  // namespace
