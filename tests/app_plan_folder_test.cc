#include "app/plan/plan_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_system.h"

namespace {

// A folder's plan from its entries alone, with no file system at all: the
// steps described, then each entry left alone with why, where said.
std::string PlanOf(std::vector<const char*> names, std::vector<const char*> why) {
  app::Gathered g;
  for (std::size_t i = 0; i < names.size(); ++i) {
    g.entries.push_back(fake::MakeEntry(names[i], platform::EntryKind::kFile));
    g.named.push_back(false);
    g.why.push_back(why.empty() ? nullptr : why[i]);
    g.said.push_back(!why.empty() && why[i]);
  }
  g.patterns = {"*"};
  app::RunOptions options;
  options.rules.video_rule = true;
  options.rules.highest_year = 2026;
  const std::string shown;
  const app::FolderPlan plan = app::PlanFolder(g, shown, options, nullptr);
  std::string out = app::Describe(plan.steps, nullptr);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (plan.why[i] && plan.said[i])
      out.append(names[i]).append(": ").append(plan.why[i]).append("\n");
  return out;
}

TEST(PlanFolder, ReadsNothingButItsEntries) {
  struct Case {
    std::vector<const char*> names, why;
    const char* want;
  } cases[] = {
      {{"Film.2010.en.srt", "Film.2010.mkv"},
       {},
       "Film.2010.mkv ==> Film (2010).mkv\n"
       "Film.2010.en.srt ==> Film (2010).en.srt (follows)\n"},
      {{"Film.2010.mkv", "Film (2010).mkv"},
       {},
       "Film.2010.mkv ==> Film (2010).mkv [another entry here would get that "
       "name too]\n"},
      {{"Film.2010.mkv", "Show.S01E02.mkv"},
       {"busy", nullptr},
       "Show.S01E02.mkv ==> Show S01E02.mkv\nFilm.2010.mkv: busy\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(PlanOf(c.names, c.why), c.want);
}

}  // namespace
