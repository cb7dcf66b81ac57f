// The dry run answers as the real file system would after its renames.
#include "app/carry/dry_run_side.h"

#include <gtest/gtest.h>

#include "app/carry/safe_rename.h"

#include "fake_system.h"

namespace {

using platform::Failure;

TEST(DryRunSide, FailsAsTheRealRenamesWould) {
  // Each case: the folder's names, whether it ignores case, the renames in
  // order, and the failure the last one meets, both for real and dry.
  struct Case {
    std::initializer_list<const char*> names;
    bool ignore_case;
    std::vector<std::pair<const char*, const char*>> renames;
    Failure last;
  } cases[] = {
      {{"x_y.txt", "X.Y.txt"}, true,
       {{"x_y.txt", "x y.txt"}, {"X.Y.txt", "X Y.txt"}}, Failure::kExists},
      {{"x_y.txt", "X.Y.txt"}, false,
       {{"x_y.txt", "x y.txt"}, {"X.Y.txt", "X Y.txt"}}, Failure::kNone},
      {{"a", "B"}, true, {{"a", "c"}, {"B", "A"}}, Failure::kNone},
      // Two old names equal but for case: the second is still there, and
      // its new name is taken.
      {{"case_pair.txt", "CASE_PAIR.txt"}, true,
       {{"case_pair.txt", "case pair.txt"}, {"CASE_PAIR.txt", "CASE PAIR.txt"}},
       Failure::kExists},
      {{"a"}, true, {{"a", "b"}, {"a", "c"}}, Failure::kNotFound},
      {{"a"}, false, {{"gone", "here"}}, Failure::kNotFound},
  };
  for (const Case& c : cases) {
    fake::FileSystem real, shown;
    for (fake::FileSystem* f : {&real, &shown}) {
      f->folders[""] = fake::Files(c.names);
      if (c.ignore_case) f->ignore_case_folders = {""};
    }
    app::DryRunSide dry(shown);
    const platform::Folder here{};
    Failure real_last = Failure::kNone, dry_last = Failure::kNone;
    for (const auto& [from, to] : c.renames) {
      real_last = real.Move(here, from, here, to).failure;
      dry_last = dry.Move(here, from, here, to).failure;
    }
    EXPECT_EQ(real_last, c.last) << *c.names.begin();
    EXPECT_EQ(dry_last, c.last) << *c.names.begin();
    EXPECT_TRUE(shown.renames.empty());
  }
}

// A system whose programs cannot open a name ending in a period.
struct PeriodShy : fake::FileSystem {
  platform::Outcome CheckNames(const platform::Folder&, std::string_view,
                               std::string_view name, bool made) override {
    return {made && name.ends_with('.') ? Failure::kFinalPeriodOrSpace
                                        : Failure::kNone,
            0};
  }
};

TEST(DryRunSide, ReservedNamesNeverMadeButGivenBack) {
  PeriodShy real, shown;
  for (fake::FileSystem* f : {&real, &shown}) f->folders[""] = fake::Files({"a_."});
  app::DryRunSide dry(shown);
  const platform::Folder here{};
  const std::string refused = "name refused: it ends in a period or a space";
  EXPECT_EQ(app::SafeRename(real, here, "a_.", "a.", "t"), refused);
  EXPECT_EQ(app::SafeRename(dry, here, "a_.", "a.", "t"), refused);
  EXPECT_EQ(app::SafeRename(real, here, "a_.", "a", "t"), "");
  EXPECT_EQ(app::SafeRename(real, here, "a", "a_.", "t", app::NewName::kGivenBack), "");
  EXPECT_EQ(real.renames, (std::vector<std::string>{"|a_.>a", "|a>a_."}));
}

}  // namespace
