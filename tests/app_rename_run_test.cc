#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "app/program.h"
#include "app/request.h"
#include "fake_system.h"

namespace {

using platform::Answer;
using platform::Entry;
using platform::EntryKind;
using platform::Failure;

using fake::Files;

// A fake file system and console, with the run's options.
struct FakeSystem : fake::FileSystem {
  fake::Console console;
  std::string& out = console.out;
  int& width = console.width;
  std::deque<Answer>& answers = console.answers;
  int& asked = console.asked;
};

platform::Entry E(const char* name, EntryKind kind, bool hidden = false,
                  bool link = false) {
  return fake::MakeEntry(name, kind, hidden, link);
}

int RunWith(FakeSystem& fake, const app::RunOptions& options,
            std::vector<std::string> operands = {"*"}, int highest_year = 2020,
            bool dry_run = false) {
  app::Request request;
  request.options = options;
  request.options.keep_history = false;
  request.operands = std::move(operands);
  request.dry_run = dry_run;
  app::System system{fake, fake, fake.console, fake,
                     platform::PathStyle::kPosix, &text::AsciiOnlyMapping(),
                     highest_year - 1, "", 0};
  return app::RunRequest(request, system);
}

TEST(RenameRun, NoMatchForEachOperandThatNamesNothing) {
  FakeSystem fake;
  EXPECT_EQ(RunWith(fake, {}, {""}), 0);
  EXPECT_EQ(fake.out, "Error: No matches to \"\"\n\n");

  // The run goes on with the next operand; one "Done" at the end.
  FakeSystem some;
  some.folders["sub/"] = Files({"a_b.txt"});
  EXPECT_EQ(RunWith(some, {}, {"x*", "sub/*", "y*"}), 0);
  EXPECT_EQ(some.out,
            "Error: No matches to \"x*\"\n\n"
            "Error: No matches to \"y*\"\n\n"
            "sub/a_b.txt ==> sub/a b.txt\n"
            "1 renamed\n"
            "Done\n\n");
  EXPECT_EQ(some.renames, std::vector<std::string>{"sub/|a_b.txt>a b.txt"});
}

TEST(RenameRun, SelectionTakesFilesDirectoriesOrBoth) {
  using app::Selection;
  struct Case {
    Selection selection;
    std::vector<std::string> renamed;
  } cases[] = {
      {Selection::kFiles, {"|f_1>f 1", "|l_1>l 1"}},
      {Selection::kFilesAndDirectories, {"|d_1>d 1", "|f_1>f 1", "|l_1>l 1"}},
      {Selection::kDirectories, {"|d_1>d 1"}},
  };
  for (const Case& c : cases) {
    FakeSystem fake;
    fake.folders[""] = {E("d_1", EntryKind::kDirectory, false),
                        E("f_1", EntryKind::kFile, false),
                        E("h_1", EntryKind::kFile, true),
                        E("hd_1", EntryKind::kDirectory, true),
                        E("l_1", EntryKind::kFile, false),
                        E("p_1", EntryKind::kOther, false)};
    app::RunOptions options;
    options.selection = c.selection;
    RunWith(fake, options);
    EXPECT_EQ(fake.renames, c.renamed);
  }
}

TEST(RenameRun, PrintsAndRenamesChangedNamesOnly) {
  FakeSystem fake;
  fake.folders["sub/"] =
      Files({"Clean Name.avi", ".avi", "Some.Movie.2010.XviD.avi", "README"});
  app::RunOptions options;
  options.rules.year_rule = true;
  EXPECT_EQ(RunWith(fake, options, {"sub/*"}), 0);
  EXPECT_EQ(fake.out,
            "Some.Movie.2010.XviD.avi ==> Some Movie (2010).avi\n"
            "1 renamed\nDone\n\n");
  EXPECT_EQ(fake.renames, std::vector<std::string>{
                              "sub/|Some.Movie.2010.XviD.avi>Some Movie (2010).avi"});
}

TEST(RenameRun, Confirmations) {
  struct Case {
    const char* name;
    bool c, yc, kc;
    bool asks;
  } cases[] = {
      {"a.b.avi", true, false, false, true},
      {"a.b.avi", false, true, true, false},     // only the cleanup changed it
      {"a 2010 x.avi", false, true, false, true},
      {"a 2010 x.avi", false, false, true, false},
      {"a xvid.avi", false, false, true, true},
      {"a xvid.avi", false, true, false, false},
  };
  for (const Case& c : cases) {
    FakeSystem fake;
    fake.folders[""] = Files({c.name});
    fake.answers = {Answer::kYes};
    app::RunOptions o;
    o.confirm_all = c.c;
    o.rules.year_rule = o.confirm_year = c.yc;
    o.rules.term_rule = o.confirm_terms = c.kc;
    if (!c.yc && c.name[2] == '2') o.rules.year_rule = true;
    if (!c.kc && c.name[2] == 'x') o.rules.term_rule = true;
    RunWith(fake, o);
    EXPECT_EQ(fake.asked, c.asks ? 1 : 0) << c.name;
    EXPECT_EQ(fake.renames.size(), 1u) << c.name;
    EXPECT_EQ(fake.out.rfind("[y/N] ", 0) == 0, c.asks) << c.name;
  }
}

TEST(RenameRun, AnswersRenameOrSkip) {
  for (Answer answer : {Answer::kYes, Answer::kNo}) {
    FakeSystem fake;
    fake.folders[""] = Files({"a.b.txt"});
    fake.answers = {answer};
    app::RunOptions o;
    o.confirm_all = true;
    EXPECT_EQ(RunWith(fake, o), 0);
    const bool yes = answer == Answer::kYes;
    EXPECT_EQ(fake.out, std::string("[y/N] a.b.txt ==> a b.txt ") +
                            (yes ? "[OK]\n1 renamed" : "[SKIPPED]\n1 skipped") +
                            "\nDone\n\n");
    EXPECT_EQ(fake.renames.size(), yes ? 1u : 0u);
  }
}

TEST(RenameRun, WrapsANameThatWouldReachTheLastColumn) {
  // "a.b.txt ==> " ends in column 12; the cursor then stands in column 13 and
  // "a b.txt" needs 7 columns: it fits when the width is at least 20.
  // With a confirmation the prefix is 6 columns longer and the indent seven.
  struct Case {
    int width;
    bool confirm, wraps;
  } cases[] = {{20, false, false}, {19, false, true},
               {26, true, false},  {25, true, true}};
  for (const Case& c : cases) {
    FakeSystem fake;
    fake.folders[""] = Files({"a.b.txt"});
    fake.width = c.width;
    app::RunOptions o;
    o.confirm_all = c.confirm;
    RunWith(fake, o);
    const std::string indent = c.confirm ? "\n       " : "\n  ";
    EXPECT_EQ(fake.out, std::string(c.confirm ? "[y/N] " : "") +
                            "a.b.txt ==> " + (c.wraps ? indent : "") +
                            (c.confirm ? "a b.txt [SKIPPED]\n1 skipped\n"
                                       : "a b.txt\n1 renamed\n") +
                            "Done\n\n");
  }
}

TEST(RenameRun, FailedRenamesAreReportedAndSetTheExitCode) {
  FakeSystem fake;
  fake.folders[""] = Files({"a.b.txt", "c.d.txt", "e.f.txt", "g?h_i.txt"});
  fake.fail = {{"a.b.txt", Failure::kExists}, {"e.f.txt", Failure::kPermission}};
  EXPECT_EQ(RunWith(fake, {}), 1);
  EXPECT_EQ(fake.out,
            "a.b.txt ==> a b.txt\n  [FAILED: a file with that name exists]\n"
            "c.d.txt ==> c d.txt\n"
            "e.f.txt ==> e f.txt\n  [FAILED: permission denied]\n"
            "g?h_i.txt ==> g?h i.txt\n"
            "2 renamed, 2 failed\n"
            "Done\n\n");
  // On POSIX a name may hold "?" and "*".
  EXPECT_EQ(fake.renames.size(), 2u);

  FakeSystem confirmed;
  confirmed.folders[""] = Files({"a.b.txt"});
  confirmed.fail = {{"a.b.txt", Failure::kNotFound}};
  confirmed.answers = {Answer::kYes};
  app::RunOptions o;
  o.confirm_all = true;
  EXPECT_EQ(RunWith(confirmed, o), 1);
  EXPECT_EQ(confirmed.out,
            "[y/N] a.b.txt ==> a b.txt [FAILED: not found]\n1 failed\nDone\n\n");
}

TEST(RenameRun, NeverReplacesAndChangesCaseThroughATemporaryName) {
  // Two names that clean to one: the second is refused, both entries kept.
  FakeSystem clash;
  clash.folders[""] = Files({"a_b.txt", "a.b.txt"});
  EXPECT_EQ(RunWith(clash, {}), 1);
  EXPECT_EQ(clash.renames, std::vector<std::string>{"|a_b.txt>a b.txt"});

  // Where the file system ignores case, "hello" -> "Hello" finds the entry
  // itself: it goes through a temporary name and ends under the new one;
  // also where identities differ by spelling (exFAT through FUSE). Where
  // the system keeps case and another file holds the name, it stays.
  const std::string detour = "|.namewisp-case--0-00000000-0.tmp";
  struct Case {
    bool ignore_case, by_spelling;
    std::initializer_list<const char*> names;
    std::vector<std::string> renames;
  } cases[] = {
      {true, false, {"hello world.txt"},
       {"|hello world.txt>" + detour.substr(1), detour + ">Hello World.txt"}},
      {true, true, {"hello world.txt"},
       {"|hello world.txt>" + detour.substr(1), detour + ">Hello World.txt"}},
      {false, true, {"hello world.txt", "Hello World.txt"},
       {"|hello world.txt>" + detour.substr(1), detour + ">hello world.txt"}},
  };
  for (const Case& c : cases) {
    FakeSystem folded;
    if (c.ignore_case) folded.ignore_case_folders = {""};
    if (c.by_spelling) {
      folded.ids_by_spelling = {""};
      folded.volume_types[""] = "fuseblk";
    }
    folded.folders[""] = Files(c.names);
    app::RunOptions o;
    o.rules.from_lower = true;
    EXPECT_EQ(RunWith(folded, o), c.names.size() == 1 ? 0 : 1) << folded.out;
    EXPECT_EQ(folded.renames, c.renames) << c.by_spelling;
    EXPECT_EQ(folded.folders[""][0].name,
              c.names.size() == 1 ? "Hello World.txt" : "hello world.txt");
  }
}

TEST(RenameRun, YearBoundIsTheOneInForce) {
  for (auto [year, renamed] :
       {std::pair{2020, "|Movie.2024.1080p.mkv>Movie 2024 1080p.mkv"},
        {2027, "|Movie.2024.1080p.mkv>Movie (2024).mkv"}}) {
    FakeSystem fake;
    fake.folders[""] = Files({"Movie.2024.1080p.mkv"});
    app::RunOptions o;
    o.rules.year_rule = true;
    RunWith(fake, o, {"*"}, year);
    EXPECT_EQ(fake.renames, std::vector<std::string>{renamed});
  }
}

TEST(RenameRun, DryRunShowsWhatTheRealRunDoesAndRenamesNothing) {
  // Confirmed and skipped lines, a clash with an entry of the folder, a
  // clash with a name an earlier line takes, a case-only change on a file
  // system that ignores case (no clash), and a refused name.
  for (bool confirm : {false, true}) {
    FakeSystem real, dry;
    for (FakeSystem* f : {&real, &dry}) {
      f->folders[""] = Files({"a.b.txt", "a b.mkv", "a_b.mkv", "c.d.txt",
                              "c_d.txt", "x?y_z.txt", "hello"});
      f->ignore_case_folders = {""};
      f->answers = {Answer::kYes, Answer::kNo, Answer::kYes, Answer::kYes,
                    Answer::kYes, Answer::kYes};
    }
    app::RunOptions o;
    o.confirm_all = confirm;
    o.rules.from_lower = true;
    const int real_code = RunWith(real, o);
    EXPECT_EQ(RunWith(dry, o, {"*"}, 2020, true), real_code);
    EXPECT_EQ(real_code, 1);
    EXPECT_TRUE(dry.renames.empty());
    // The same lines; the summary says what the run would do.
    const std::string done = "Done\n\n";
    std::string lines = real.out.substr(0, real.out.size() - done.size());
    const std::size_t summary = lines.rfind('\n', lines.size() - 2) + 1;
    std::string words = lines.substr(summary);
    for (auto [from, to] : {std::pair{" renamed", " to rename"},
                            {" failed", " would fail"}}) {
      if (const std::size_t at = words.find(from); at != std::string::npos)
        words.replace(at, std::string(from).size(), to);
    }
    EXPECT_EQ(dry.out, lines.substr(0, summary) + words +
                           "Dry run: nothing was renamed.\n" + done);
  }
}

TEST(RenameRun, TreesDeepestFirstWithoutLinksOrHiddenFolders) {
  FakeSystem fake;
  fake.folders[""] = {E("a_1", EntryKind::kDirectory, false),
                      E("h_1", EntryKind::kDirectory, true),
                      E("l_1", EntryKind::kDirectory, false, true),
                      E("x_1", EntryKind::kDirectory, false),
                      E("t_1.txt", EntryKind::kFile, false)};
  fake.folders["a_1/"] = {E("b_2", EntryKind::kDirectory, false),
                          E("f_2.txt", EntryKind::kFile, false)};
  fake.folders["a_1/b_2/"] = Files({"f_3.txt"});
  fake.folders["h_1/"] = Files({"hidden_file.txt"});
  fake.folders["l_1/"] = Files({"linked_file.txt"});
  fake.unreadable["x_1/"] = Failure::kPermission;
  app::RunOptions o;
  o.recursive = true;
  o.selection = app::Selection::kFilesAndDirectories;
  EXPECT_EQ(RunWith(fake, o), 1);
  EXPECT_EQ(fake.out,
            "a_1/b_2/f_3.txt ==> a_1/b_2/f 3.txt\n"
            "a_1/b_2 ==> a_1/b 2\n"
            "a_1/f_2.txt ==> a_1/f 2.txt\n"
            "x_1/ [FAILED: permission denied]\n"
            "a_1 ==> a 1\n"
            "l_1 ==> l 1\n"
            "x_1 ==> x 1\n"
            "t_1.txt ==> t 1.txt\n"
            "7 renamed, 1 failed\n"
            "Done\n\n");
}

TEST(RenameRun, ReleaseFoldersEpisodesAndDownloadsInProgress) {
  FakeSystem fake;
  fake.folders[""] = {
      E("Dune.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-TEPES", EntryKind::kDirectory, false),
      E("Show.S01E02.720p.HDTV.mkv", EntryKind::kFile, false),
      E("Movie.2010.mkv.part", EntryKind::kFile, false),
      E("Clip.2011.crdownload", EntryKind::kFile, false)};
  fake.answers = {Answer::kYes};
  app::RunOptions o;
  o.rules.year_rule = true;
  o.rules.episode_rule = o.confirm_episode = true;
  o.selection = app::Selection::kFilesAndDirectories;
  EXPECT_EQ(RunWith(fake, o, {"*"}, 2027), 0);
  EXPECT_EQ(fake.out,
            "Dune.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-TEPES ==> Dune (2021)\n"
            "[y/N] Show.S01E02.720p.HDTV.mkv ==> Show S01E02.mkv [OK]\n"
            "Movie.2010.mkv.part: a download in progress, left alone\n"
            "Clip.2011.crdownload: a download in progress, left alone\n"
            "2 renamed, 2 left alone\n"
            "Done\n\n");
}

}  // namespace

namespace {

// A folder swapped for a link to another between its listing and its
// opening: nothing in it is renamed, and the line says why.
TEST(RenameRun, AFolderSwappedAfterItsListingIsLeftAlone) {
  FakeSystem fake;
  fake.folders[""] = {E("sub_1", EntryKind::kDirectory)};
  fake.folders[""][0].id = {1, 77, true};
  fake.folders["sub_1/"] = Files({"f_2.txt"});
  fake.before_open = [&](const std::string&) {
    fake.folders[""][0] = E("sub_1", EntryKind::kDirectory, false, true);
  };
  app::RunOptions o;
  o.recursive = true;
  EXPECT_EQ(RunWith(fake, o), 1);
  EXPECT_EQ(fake.out,
            "sub_1/ [FAILED: no longer the folder that was listed; its "
            "entries are left alone]\nError: No matches to \"*\"\n\n");
  EXPECT_TRUE(fake.renames.empty());
}

// A walk far deeper than the folders it may hold open: the top levels stay
// open, deeper ones are opened again by their path, and one that is no
// longer the folder listed there is said and left alone.  A folder the walk
// is inside already (a bind mount of the start folder at the bottom) is not
// entered, by the walk nor by the look for downloads in progress.
TEST(RenameRun, ADeepWalkHoldsFewFoldersAndEntersNoneItIsInside) {
  constexpr int kDepth = 40;
  struct Case {
    const char* what;
    int swapped;  // the depth of a folder another takes the place of, or -1
    int code;
    std::size_t renames;
  } cases[] = {
      {"whole", -1, 0, 2 * kDepth + 1},
      // Swapped while the walk is far below it: its two entries stay.
      {"swapped", 20, 1, 2 * kDepth - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem fake;
    std::vector<std::string> paths = {""};
    for (int i = 0; i < kDepth; ++i)
      paths.push_back(paths.back() + "d_" + std::to_string(i) + "/");
    for (int i = 0; i <= kDepth; ++i) {
      fake.folder_ids[paths[i]] = {1, 1000u + i, true};
      auto& entries = fake.folders[paths[i]];
      entries.push_back(E(("f_" + std::to_string(i) + ".txt").c_str(),
                          EntryKind::kFile));
      if (i < kDepth) {
        entries.push_back(
            E(("d_" + std::to_string(i)).c_str(), EntryKind::kDirectory));
        entries.back().id = {1, 1001u + i, true};
      }
    }
    fake.folders[paths[kDepth]].push_back(E("m", EntryKind::kDirectory));
    fake.folders[paths[kDepth]].back().id = fake.folder_ids[""];
    fake.folders[paths[kDepth] + "m/"] = fake.folders[""];
    // The walk opens each folder after the look for downloads did.
    int opened = 0;
    if (c.swapped >= 0) {
      fake.before_open = [&](const std::string& path) {
        if (path == paths[c.swapped + 10] && ++opened == 2)
          fake.folder_ids[paths[c.swapped]] = {1, 1, true};
      };
    }
    app::RunOptions o;
    o.recursive = true;
    o.selection = app::Selection::kFilesAndDirectories;
    EXPECT_EQ(RunWith(fake, o), c.code) << fake.out;
    EXPECT_EQ(fake.renames.size(), c.renames) << fake.out;
    EXPECT_LE(fake.most_open, 20);
    EXPECT_NE(fake.out.find(paths[kDepth] +
                            "m/: not entered: the walk is inside that folder "
                            "already\n"),
              std::string::npos);
    if (c.swapped >= 0) {
      EXPECT_NE(fake.out.find(paths[c.swapped] +
                              " [FAILED: no longer the folder that was "
                              "listed; its entries are left alone]\n"),
                std::string::npos)
          << fake.out;
    }
  }
}

// Dash options stand before the first operand; one that is also a file's
// name is refused.
TEST(RenameRun, FileNamesAreNotDashOptions) {
  struct Case {
    std::vector<std::string> arguments;
    int code;
    std::vector<std::string> renames;
  } cases[] = {
      {{"a_1.avi", "-n"}, 0, {"|a_1.avi>a 1.avi"}},
      {{"a_1.avi", "--no-history"}, 0, {"|a_1.avi>a 1.avi"}},
      {{"-n", "a_1.avi"}, 2, {}},
      {{"--", "-n", "a_1.avi"}, 0, {"|a_1.avi>a 1.avi"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
    FakeSystem fake;
    fake.folders[""] = Files({"-n", "a_1.avi", "--no-history"});
    platform::CommandLine command_line;
    command_line.arguments = c.arguments;
    app::System system{fake, fake, fake.console, fake,
                       platform::PathStyle::kPosix, &text::AsciiOnlyMapping(),
                       2026, "t", 1};
    EXPECT_EQ(app::RunProgram(command_line, system), c.code) << fake.out;
    EXPECT_EQ(fake.renames, c.renames);
    if (c.code == 2) {
      EXPECT_NE(fake.out.find("\"--\""), std::string::npos);
    } else {
      // The run is recorded: the word after the file was no option.
      EXPECT_EQ(fake.files.count("runs/t-1-00000000.run"), 1u);
    }
  }
}

}  // namespace

namespace {

// On a terminal a name's control bytes are shown escaped; elsewhere its
// bytes go as they are.
TEST(RenameRun, NamesCannotDriveTheTerminal) {
  struct Case {
    const char* name;
    const char* shown;  // on a terminal
  } cases[] = {
      {"a_\x1b" "c\x07.avi", "a_\\033c\\a.avi ==> a \\033c\\a.avi"},
      {"b_\n\t.avi", "b_\\n\\t.avi ==> b \\n\\t.avi"},
      {"c_\x9b" "2J.avi", "c_\\x9b2J.avi ==> c \\x9b2J.avi"},
      {"d_\xc2\x9b" "2J\x7f.avi", "d_\\xc2\\x9b2J\\177.avi ==> d \\xc2\\x9b2J\\177.avi"},
      {"e_caf\xc3\xa9.avi", "e_caf\xc3\xa9.avi ==> e caf\xc3\xa9.avi"},
      // A right-to-left override and a zero-width space.
      {"f_\xe2\x80\xaeiva.exe", "f_\\xe2\\x80\\xaeiva.exe ==> f \\xe2\\x80\\xaeiva.exe"},
      {"g_\xe2\x80\x8b.avi", "g_\\xe2\\x80\\x8b.avi ==> g \\xe2\\x80\\x8b.avi"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool terminal : {true, false}) {
      FakeSystem fake;
      fake.console.terminal = terminal;
      fake.folders[""] = Files({c.name});
      RunWith(fake, app::RunOptions{});
      std::string raw = std::string(c.name) + " ==> " + c.name;
      raw[raw.find('_', raw.find(" ==> "))] = ' ';
      EXPECT_EQ(fake.out, (terminal ? std::string(c.shown) : raw) +
                              "\n1 renamed\nDone\n\n");
    }
  }
}

}  // namespace

namespace {

// What an operand names and the run leaves alone says why; "No matches"
// only for what names nothing; with /s a folder named is walked.
TEST(RenameRun, OperandsSayWhyTheyAreLeftAlone) {
  struct Case {
    std::vector<std::string> operands;
    bool recursive;
    std::string out;
    int code;
  } cases[] = {
      {{"Red.Canyon.2021"}, false,
       "Red.Canyon.2021/: a folder (add /d)\n1 left alone\n", 0},
      {{"Film.mkv.part"}, false,
       "Film.mkv.part: a download in progress, left alone\n1 left alone\n",
       0},
      {{"link_1"}, false, "link_1: a link to a folder\n1 left alone\n", 0},
      {{"f.1.avi/"}, false, "f.1.avi/: not a folder\n1 failed\n", 1},
      {{"*"}, false,
       "f.1.avi ==> f 1.avi\n"
       "Film.mkv.part: a download in progress, left alone\n"
       "1 renamed, 1 left alone\n",
       0},
      {{"Red.Canyon.2021"}, true, "Red.Canyon.2021/in_1.avi ==> "
                                  "Red.Canyon.2021/in 1.avi\n1 renamed\n", 0},
      {{"Red.Canyon.2021/"}, true, "Red.Canyon.2021/in_1.avi ==> "
                                   "Red.Canyon.2021/in 1.avi\n1 renamed\n", 0},
      {{"f.1.avi"}, true, "f.1.avi ==> f 1.avi\n1 renamed\n", 0},
      // A folder that cannot be listed fails, and that says it all.
      {{"locked/*"}, false, "locked/* [FAILED: permission denied]\n1 failed\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operands[0] + (c.recursive ? " /s" : ""));
    FakeSystem fake;
    fake.folders[""] = {E("Red.Canyon.2021", EntryKind::kDirectory),
                        E("Film.mkv.part", EntryKind::kFile),
                        E("link_1", EntryKind::kDirectory, false, true),
                        E("f.1.avi", EntryKind::kFile)};
    fake.folders["Red.Canyon.2021/"] = Files({"in_1.avi"});
    fake.unreadable["locked/"] = Failure::kPermission;
    app::RunOptions o;
    o.recursive = c.recursive;
    EXPECT_EQ(RunWith(fake, o, c.operands), c.code);
    EXPECT_EQ(fake.out, c.out + "Done\n\n");
  }
}

}  // namespace

namespace {

// The operands that name one folder are planned together, however given:
// what /v does within one listing holds for the shell's list of names too,
// and an entry named twice is handled once.
TEST(RenameRun, OperandsOfOneFolderArePlannedTogether) {
  const char* extended = "Film.2010.Extended.1080p.BluRay.x264-GRP.mkv";
  const char* theatrical = "Film.2010.Theatrical.1080p.BluRay.x264-GRP.mkv";
  const std::vector<std::string> versions = {
      std::string("|") + extended + ">Film (2010) - Extended.mkv",
      std::string("|") + theatrical + ">Film (2010) - Theatrical.mkv"};
  struct Case {
    bool video;
    std::vector<std::string> operands;
    std::vector<std::string> renames;
  } cases[] = {
      {true, {"*"}, versions},
      {true, {extended, theatrical}, versions},  // the shell's "*"
      {true, {"*Extended*", "*Theatrical*"}, versions},
      {true, {theatrical, "*Extended*"}, versions},
      {false, {"a_1.txt", "a_*", "a_1.txt"}, {"|a_1.txt>a 1.txt"}},
      // A name that holds "*" is that entry alone where it exists.
      {false, {"b_*.txt"}, {"|b_*.txt>b *.txt"}},
      {false, {"b_?.txt"}, {"|b_*.txt>b *.txt", "|b_x.txt>b x.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operands[0]);
    FakeSystem fake;
    fake.folders[""] = Files({extended, theatrical, "a_1.txt", "b_*.txt",
                              "b_x.txt"});
    app::RunOptions o;
    o.rules.video_rule = c.video;
    if (c.video) {
      // Only the films: /v would tidy the other names as well.
      fake.folders[""].resize(2);
    }
    EXPECT_EQ(RunWith(fake, o, c.operands, 2027), 0) << fake.out;
    EXPECT_EQ(fake.renames, c.renames) << fake.out;
  }
}

// A download still being written stays whole: a file with aria2's control
// file beside it, and a folder that holds a download anywhere below, with
// everything in it.  Each says why.
TEST(RenameRun, DownloadsInProgressStayWhole) {
  struct Case {
    std::vector<std::string> operands;
    app::Selection selection;
    bool recursive;
    std::string out;
  } cases[] = {
      {{"*"}, app::Selection::kFiles, false,
       "f_1.mkv ==> f 1.mkv\n"
       "a_1.mkv: a download in progress (its .aria2 file is beside it), left "
       "alone\n"
       "a_1.mkv.aria2: a download in progress, left alone\n"
       "1 renamed, 2 left alone\n"},
      {{"a_1.mkv", "f_1.mkv"}, app::Selection::kFiles, false,
       "f_1.mkv ==> f 1.mkv\n"
       "a_1.mkv: a download in progress (its .aria2 file is beside it), left "
       "alone\n"
       "1 renamed, 1 left alone\n"},
      {{"*"}, app::Selection::kFilesAndDirectories, false,
       "f_1.mkv ==> f 1.mkv\n"
       "ok_1 ==> ok 1\n"
       "a_1.mkv: a download in progress (its .aria2 file is beside it), left "
       "alone\n"
       "a_1.mkv.aria2: a download in progress, left alone\n"
       "busy_1/: a download in progress inside, left alone with all it "
       "holds\n"
       "deep_1/: a download in progress inside, left alone with all it "
       "holds\n"
       "2 renamed, 4 left alone\n"},
      {{"*.mkv"}, app::Selection::kFiles, true,
       "ok_1/in_1.mkv ==> ok_1/in 1.mkv\n"
       "f_1.mkv ==> f 1.mkv\n"
       "a_1.mkv: a download in progress (its .aria2 file is beside it), left "
       "alone\n"
       "busy_1/: a download in progress inside, left alone with all it "
       "holds\n"
       "deep_1/: a download in progress inside, left alone with all it "
       "holds\n"
       "2 renamed, 3 left alone\n"},
      {{"deep_1"}, app::Selection::kFiles, true,
       "deep_1/: a download in progress inside, left alone with all it "
       "holds\n"
       "1 left alone\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operands[0] + (c.recursive ? " /s" : ""));
    FakeSystem fake;
    fake.folders[""] = {E("a_1.mkv", EntryKind::kFile),
                        E("a_1.mkv.aria2", EntryKind::kFile),
                        E("busy_1", EntryKind::kDirectory),
                        E("deep_1", EntryKind::kDirectory),
                        E("f_1.mkv", EntryKind::kFile),
                        E("ok_1", EntryKind::kDirectory)};
    fake.folders["busy_1/"] = Files({"e_1.mkv", "e_2.mkv.part"});
    fake.folders["deep_1/"] = {E("in_1", EntryKind::kDirectory)};
    fake.folders["deep_1/in_1/"] = Files({"x_1.mkv", "x_1.mkv.!qB"});
    // A hidden folder is not walked, so what it holds does not count.
    fake.folders["ok_1/"] = {E("in_1.mkv", EntryKind::kFile),
                             E(".h_1", EntryKind::kDirectory, true)};
    fake.folders["ok_1/.h_1/"] = Files({"y.part"});
    app::RunOptions o;
    o.selection = c.selection;
    o.recursive = c.recursive;
    EXPECT_EQ(RunWith(fake, o, c.operands), 0);
    EXPECT_EQ(fake.out, c.out + "Done\n\n");
    for (const std::string& rename : fake.renames) {
      EXPECT_EQ(rename.find("busy_1"), std::string::npos);
      EXPECT_EQ(rename.find("deep_1"), std::string::npos);
    }
  }
}

// "a" answers yes to this question and all the rest, "q" stops the run:
// the rest are skipped and counted, and the exit code stays 0.
TEST(RenameRun, AllAndQuitAnswers) {
  struct Case {
    std::deque<Answer> answers;
    int asked;
    std::size_t renamed;
    std::string summary;
  } cases[] = {
      {{Answer::kAll}, 1, 3, "3 renamed"},
      {{Answer::kYes, Answer::kAll}, 2, 3, "3 renamed"},
      {{Answer::kNo, Answer::kQuit}, 2, 0, "3 skipped"},
      {{Answer::kYes, Answer::kQuit}, 2, 1, "1 renamed, 2 skipped"},
  };
  for (const Case& c : cases) {
    FakeSystem fake;
    fake.folders[""] = Files({"a.1.txt", "b.2.txt", "c.3.txt"});
    fake.answers = c.answers;
    app::RunOptions o;
    o.confirm_all = true;
    EXPECT_EQ(RunWith(fake, o), 0);
    EXPECT_EQ(fake.asked, c.asked) << fake.out;
    EXPECT_EQ(fake.renames.size(), c.renamed) << fake.out;
    EXPECT_TRUE(fake.out.ends_with(c.summary + "\nDone\n\n")) << fake.out;
  }
}

// Where the output goes to a file, the question is shown on the terminal
// too, escaped as names are there; the file keeps the bytes.
TEST(RenameRun, AQuestionIsShownOnTheTerminalWhenTheOutputIsAFile) {
  FakeSystem fake;
  fake.folders[""] = Files({"a_\x1b.txt"});
  app::RunOptions o;
  o.confirm_all = true;
  RunWith(fake, o);
  EXPECT_EQ(fake.console.terminal_out, "[y/N] a_\\033.txt ==> a \\033.txt ");
  EXPECT_EQ(fake.out,
            "[y/N] a_\x1b.txt ==> a \x1b.txt [SKIPPED]\n1 skipped\nDone\n\n");
}

// A side file is asked with its video: after it and under its answer, in
// place and into a library; "q" stops before both.
TEST(RenameRun, ASideFileGoesOrStaysWithItsVideo) {
  const std::vector<std::string> before = {"Film.2010.1080p.en.srt",
                                           "Film.2010.1080p.mkv"};
  for (const bool into : {false, true}) {
    for (const Answer answer : {Answer::kYes, Answer::kNo, Answer::kQuit}) {
      FakeSystem fake;
      fake.folders[""] = Files({"Film.2010.1080p.en.srt", "Film.2010.1080p.mkv"});
      fake.folders["lib/"];
      fake.answers = {answer};
      app::RunOptions o;
      o.rules.video_rule = true;
      o.confirm_video = true;
      if (into) o.into = "lib";
      RunWith(fake, o);
      EXPECT_EQ(fake.asked, 1) << fake.out;
      EXPECT_TRUE(fake.out.starts_with("[y/N] Film.2010.1080p.mkv ==>"))
          << fake.out;
      std::vector<std::string> names;
      for (const Entry& e : fake.folders[""]) names.push_back(e.name);
      std::sort(names.begin(), names.end());
      const std::vector<std::string> moved = {};
      const std::vector<std::string> renamed = {"Film (2010).en.srt",
                                                "Film (2010).mkv"};
      EXPECT_EQ(names, answer != Answer::kYes ? before : into ? moved : renamed)
          << fake.out;
    }
  }
}

}  // namespace
