#include "app/carry/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/plan/rename_run.h"
#include "fake_system.h"

namespace {

// The plan of a run over a fake folder, as described step by step.
std::string PlanOf(std::vector<const char*> names, app::RunOptions options,
                   std::vector<std::string> operands = {"*"}) {
  fake::FileSystem files;
  files.folders[""];
  for (const char* name : names)
    files.folders[""].push_back(
        fake::MakeEntry(name, platform::EntryKind::kFile));
  files.folders["lib/"];
  fake::Console console;
  app::Journal journal;
  app::RunCounts counts;
  std::string plan;
  options.rules.highest_year = 2026;
  app::RunRename(options, operands, platform::PathStyle::kPosix, files, files,
                 console, journal, counts, &plan);
  return plan;
}

// A side file comes right after its video, following it; copies bound for
// one name take their versions; a clash is planned with why it is not
// tried.
TEST(Plan, StepsInTheOrderToMakeThem) {
  app::RunOptions v;
  v.rules.video_rule = true;
  v.confirm_video = true;
  app::RunOptions into = v;
  into.into = "lib";
  struct Case {
    std::vector<const char*> names;
    const app::RunOptions& options;
    const char* want;
  } cases[] = {
      {{"Film.2010.720p.en.srt", "Film.2010.720p.mkv", "Other.2011.mkv"},
       v,
       "Film.2010.720p.mkv ==> Film (2010).mkv (asked)\n"
       "Film.2010.720p.en.srt ==> Film (2010).en.srt (asked) (follows)\n"
       "Other.2011.mkv ==> Other (2011).mkv (asked)\n"},
      {{"Film.2010.1080p.mkv", "Film.2010.2160p.mkv"},
       into,
       "Film.2010.1080p.mkv ==> Movies/Film (2010)/Film (2010) - 1080p.mkv "
       "(asked)\n"
       "Film.2010.2160p.mkv ==> Movies/Film (2010)/Film (2010) - 2160p.mkv "
       "(asked)\n"},
      {{"a_b.txt", "a b.txt"},
       v,
       "a_b.txt ==> a b.txt [another entry here would get that name too]\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlanOf(c.names, c.options), c.want) << c.names.front();
}

}  // namespace
