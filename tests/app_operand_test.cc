#include <gtest/gtest.h>

#include <string>

#include "app/plan/operand.h"
#include "fake_system.h"

namespace {

using platform::PathStyle;

TEST(Operand, SplitByEachPathStyle) {
  struct Case {
    PathStyle style;
    std::string operand, folder, name;
  } cases[] = {
      {PathStyle::kPosix, "*.avi", "", "*.avi"},
      {PathStyle::kPosix, "sub/*.txt", "sub/", "*.txt"},
      {PathStyle::kPosix, "sub/", "", "sub"},  // the folder itself
      {PathStyle::kPosix, "a/sub//", "a/", "sub"},
      {PathStyle::kPosix, "/", "", ""},  // names nothing
      {PathStyle::kPosix, "/tmp/x/a?c", "/tmp/x/", "a?c"},
      {PathStyle::kPosix, "a\\b", "", "a\\b"},
      {PathStyle::kPosix, "./*", "./", "*"},
      {PathStyle::kPosix, "", "", ""},
      // Windows: a trailing separator or a drive alone lists everything.
      {PathStyle::kWindows, "*.txt", "", "*.txt"},
      {PathStyle::kWindows, "sub\\", "sub\\", "*"},
      {PathStyle::kWindows, "sub/", "sub/", "*"},
      {PathStyle::kWindows, "D:", "D:", "*"},
      {PathStyle::kWindows, "D:*.avi", "D:", "*.avi"},
      {PathStyle::kWindows, "D:\\films\\*.avi", "D:\\films\\", "*.avi"},
      {PathStyle::kWindows, "a/b\\c*.txt", "a/b\\", "c*.txt"},
      {PathStyle::kWindows, "..\\x.txt", "..\\", "x.txt"},
      {PathStyle::kWindows, "name", "", "name"},
      {PathStyle::kWindows, "", "", ""},
  };
  for (const Case& c : cases) {
    const app::OperandParts parts = app::SplitOperand(c.operand, c.style);
    EXPECT_EQ(parts.folder, c.folder) << c.operand;
    EXPECT_EQ(parts.name, c.name) << c.operand;
  }
}

// The program matches patterns itself, on every platform: what the system's
// own matching would add (short names, old forms) never comes in.
TEST(Operand, ListsWhatThePatternTakes) {
  fake::FileSystem files;
  files.folders["sub/"] = fake::Files({"film.avif", "a.AVI", "b.avi", "noext"});
  struct Case {
    std::string operand;
    std::vector<std::string> names;
  } cases[] = {
      {"sub/*.avi", {"a.AVI", "b.avi"}},
      {"sub/*.*", {"film.avif", "a.AVI", "b.avi", "noext"}},
      {"sub/?.avi", {"a.AVI", "b.avi"}},
      {"sub/b.avi", {"b.avi"}},
      {"sub/B.AVI", {}},  // a plain name is looked up as it stands
      {"sub/.", {}},
      {"sub/..", {}},
      {"/", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    for (const platform::Entry& e :
         app::ListOperand(files, c.operand, PathStyle::kPosix).entries)
      names.push_back(e.name);
    EXPECT_EQ(names, c.names) << c.operand;
  }
}

}  // namespace
