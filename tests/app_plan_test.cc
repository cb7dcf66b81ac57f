#include "app/carry/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/carry/carry_out.h"
#include "app/plan/plan_run.h"
#include "app/rename_run.h"
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
  app::RunOptions ids = v;
  ids.ids = true;
  ids.confirm_video = false;
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
      // --ids: a film's id and edition as a library's, side files after;
      // a name in a server's words already keeps them.
      {{"Film.2010.Extended.tt0000123.en.srt", "Film.2010.Extended.tt0000123.mkv",
        "Other (2011) [imdbid-tt0000456].mkv"},
       ids,
       "Film.2010.Extended.tt0000123.mkv ==> Film (2010) {imdb-tt0000123} "
       "{edition-Extended}.mkv\n"
       "Film.2010.Extended.tt0000123.en.srt ==> Film (2010) {imdb-tt0000123} "
       "{edition-Extended}.en.srt (follows)\n"},
      {{"a_b.txt", "a b.txt"},
       v,
       "a_b.txt ==> a b.txt [another entry here would get that name too]\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlanOf(c.names, c.options), c.want) << c.names.front();
}

// The whole run is planned before its first step, every operand's folder
// and every download in it, and planning changes nothing: the library's
// folders are made by the loop alone.  A folder swapped for another between
// the planning and its turn is left alone.
TEST(Plan, WholeBeforeItsFirstStep) {
  using platform::EntryKind;
  fake::FileSystem files;
  files.folders[""] = {fake::MakeEntry("a", EntryKind::kDirectory),
                       fake::MakeEntry("b", EntryKind::kDirectory)};
  files.folders["a/"] = {fake::MakeEntry("Film.2010.mkv", EntryKind::kFile)};
  files.folders["b/"] = {
      fake::MakeEntry("Show.S01.720p-G", EntryKind::kDirectory),
      fake::MakeEntry("Other.2011.mkv", EntryKind::kFile)};
  files.folders["b/Show.S01.720p-G/"] = {
      fake::MakeEntry("S01E02.mkv", EntryKind::kFile),
      fake::MakeEntry("notes.txt", EntryKind::kFile)};
  files.folders["lib/"];
  files.folder_ids["a/"] = {1, 1, true};
  // Every path, to tell that nothing changed.
  auto tree = [&] {
    std::string paths;
    for (const auto& [folder, entries] : files.folders)
      for (const platform::Entry& e : entries) paths += folder + e.name + "\n";
    return paths;
  };
  const std::string before = tree();
  app::RunOptions options;
  options.rules.video_rule = true;
  options.rules.highest_year = 2026;
  options.into = "lib";
  fake::Console console;
  app::Journal journal;
  app::Loop loop{files, files, console, journal};
  bool carrying = false;
  int made_in_planning = 0;
  app::Library library(options, platform::PathStyle::kPosix, files, journal,
                       [&](const platform::Folder& parent, std::string_view name,
                           platform::Folder& made) {
                         made_in_planning += !carrying;
                         return loop.Make({.kind = app::StepKind::kMakeFolder,
                                           .folder = &parent,
                                           .new_name = name,
                                           .made = &made})
                             .words;
                       });
  ASSERT_TRUE(library.Open(console));
  loop.library = &library;
  app::RunPlan plan =
      app::PlanRun(options, {"a/*", "b/*", "b/Show.S01.720p-G"},
                   platform::PathStyle::kPosix, files, console, &library);
  EXPECT_EQ(app::Describe(plan, &library),
            "a/Film.2010.mkv ==> Movies/Film (2010)/Film (2010).mkv\n"
            "b/Other.2011.mkv ==> Movies/Other (2011)/Other (2011).mkv\n"
            "b/Show.S01.720p-G/S01E02.mkv ==> TV/Show/Season 01/Show S01E02.mkv\n"
            "b/Show.S01.720p-G/notes.txt ==> TV/Show/Season 01/notes.txt "
            "(follows)\n");
  EXPECT_TRUE(plan.any_matched);
  EXPECT_TRUE(files.renames.empty());
  EXPECT_EQ(tree(), before);

  files.folder_ids["a/"] = {1, 2, true};
  carrying = true;
  loop.Carry(plan);
  EXPECT_EQ(made_in_planning, 0);
  EXPECT_NE(console.out.find("a/ [FAILED: no longer the folder that was "
                             "listed; its entries are left alone]"),
            std::string::npos)
      << console.out;
  EXPECT_TRUE(files.Find("a/", "Film.2010.mkv"));
  EXPECT_TRUE(files.Find("lib/TV/Show/Season 01/", "Show S01E02.mkv"));
  EXPECT_FALSE(files.Find("b/", "Show.S01.720p-G"));
}

}  // namespace
