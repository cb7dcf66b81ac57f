#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/journal/history.h"
#include "app/journal/history_format.h"
#include "app/carry/safe_rename.h"
#include "app/program.h"
#include "fake_run.h"
#include "fake_system.h"

namespace {

using platform::EntryKind;
using platform::Failure;

struct Sys : fake::FileSystem {
  fake::Console console;
  int runs = 0;  // each run its own start time and process number
  bool same_id = false;  // runs of one process number (two containers)

  int Run(std::vector<std::string> arguments) {
    ++runs;
    return fake::RunCommand(*this, console, std::move(arguments), runs,
                            same_id ? 1000 : 1000 + runs);
  }
  std::vector<std::string> Names(const std::string& dir = "") {
    std::vector<std::string> names;
    for (const platform::Entry& e : folders[dir]) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }
  // The old history file.
  std::string& History() { return files["history"]; }
  // The newest run's journal.
  std::string& Journal() {
    std::string newest;
    for (const auto& [name, text] : files)
      if (name.starts_with("runs/") && name.ends_with(".run") && name > newest)
        newest = name;
    return files[newest];
  }
  std::size_t Journals() {
    return std::count_if(files.begin(), files.end(), [](const auto& f) {
      return f.first.starts_with("runs/") && f.first.ends_with(".run");
    });
  }
  void Remove(const std::string& name) {
    std::erase_if(folders[""], [&](const platform::Entry& e) {
      return e.name == name;
    });
  }
};

// The history without the lines that start with one of the kinds.
std::string Without(const std::string& text,
                    std::initializer_list<const char*> kinds) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at) + 1;
    const std::string line = text.substr(at, end - at);
    bool drop = false;
    for (const char* kind : kinds)
      drop = drop || line.starts_with(std::string(kind) + "\t");
    if (!drop) out += line;
    at = end;
  }
  return out;
}

const std::vector<std::string> kBefore = {"a_1.avi", "b_2.avi", "c_3.avi"};

// The record of a rename that run numbers n, as a run writes it.
std::string Rename(std::string_view run, std::size_t n, std::string_view folder,
                   std::string_view old_name, std::string_view new_name,
                   platform::EntryId id) {
  return app::FormatRecord({.kind = app::RecordKind::kRename,
                            .run_id = run,
                            .number = n,
                            .directory = folder,
                            .old_name = old_name,
                            .new_name = new_name,
                            .id = id});
}

// A run killed at any point, a rename that failed between two that were
// made, or a damaged record: undo puts back every name made and no other.
TEST(Undo, PutsBackWhatWasMadeWhateverTheMarksSay) {
  struct Case {
    const char* what;
    const char* failing;  // a rename that fails in the run
    std::function<std::string(const std::string&)> damage;
    std::vector<std::string> after;  // the names after the undo
    int code;
    const char* error;  // a line on standard error, if any
  } cases[] = {
      {"whole", nullptr, nullptr, kBefore, 0, nullptr},
      {"killed before any mark", nullptr,
       [](const std::string& t) { return Without(t, {"made", "end"}); },
       kBefore, 0, nullptr},
      {"one failed between two made", "b_2.avi", nullptr, kBefore, 0, nullptr},
      {"killed, one failed", "b_2.avi",
       [](const std::string& t) { return Without(t, {"made", "end"}); },
       kBefore, 0, nullptr},
      {"damaged record", nullptr,
       [](std::string t) {
         t[t.find("b_2.avi")] = 'x';
         return t;
       },
       {"a_1.avi", "b 2.avi", "c_3.avi"}, 1,
       "stderr:namewisp: runs/2026-12-09T140100Z-1001-00000000.run: line 4: "
       "damaged (its check does not match)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi", "c_3.avi"});
    if (c.failing) sys.fail[c.failing] = Failure::kPermission;
    sys.Run({"*"});
    sys.fail.clear();
    if (c.damage) sys.Journal() = c.damage(sys.Journal());
    EXPECT_EQ(sys.Run({"--undo"}), c.code) << sys.console.out;
    EXPECT_EQ(sys.Names(), c.after);
    if (c.error) {  // said once
      EXPECT_NE(sys.console.out.find(c.error), std::string::npos)
          << sys.console.out;
      EXPECT_EQ(sys.console.out.find(c.error), sys.console.out.rfind(c.error));
    }
    if (c.failing) {
      EXPECT_EQ(sys.console.out.find("b 2.avi"), std::string::npos);
    }
  }
}

// Lines past the fifth are summed up, damaged ones as damage (which fails
// the undo) and the last lines of killed runs as cut short (which does not).
TEST(Undo, ADamagedFloodIsSummedUp) {
  struct Case {
    const char* what;
    std::string tail;  // added to each journal
    int journals;
    const char* sum;
    int code;
  } cases[] = {
      {"damaged", [] {
         std::string lines;
         for (int i = 0; i < 20; ++i) lines += "garbage\n";
         return lines;
       }(),
       1, "stderr:namewisp: 15 more damaged lines skipped\n", 1},
      {"cut short", "rename\tr", 7,
       "stderr:namewisp: 2 more lines cut short skipped\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    for (int i = 0; i < c.journals; ++i) {
      const std::string name = "a_" + std::to_string(i) + ".avi";
      sys.folders[""].push_back(fake::MakeEntry(name, EntryKind::kFile));
      sys.Run({name});
      sys.Journal() += c.tail;
    }
    EXPECT_EQ(sys.Run({"--undo"}), c.code) << sys.console.out;
    EXPECT_NE(sys.console.out.find(c.sum), std::string::npos)
        << sys.console.out;
    EXPECT_EQ(sys.console.out.find("more damaged") != std::string::npos,
              c.code == 1);
    EXPECT_EQ(sys.Find("", "a_0.avi") != nullptr, c.journals == 1);
  }
}

// Two runs of one start time and one process number (in two containers,
// say) each keep a journal of their own, and each is undone whole.
TEST(Undo, RunsOfOneIdKeepTheirOwnJournals) {
  Sys sys;
  sys.same_id = true;
  sys.runs = 9;  // the next two start in the same second
  sys.folders[""] = fake::Files({"a_1.avi"});
  sys.folders["sub/"] = fake::Files({"b_2.avi"});
  sys.runs = 9;
  sys.Run({"a_1.avi"});
  sys.runs = 9;
  sys.Run({"sub/b_2.avi"});
  EXPECT_EQ(sys.Journals(), 2u);
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Names("sub/"), std::vector<std::string>{"b_2.avi"});
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"a 1.avi"});
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"a_1.avi"});
}

// Plain undo takes the newest run first by the order the runs took, whatever
// their ids say: a process number of more digits in the same second, or a
// clock stepped back.  The newer run renamed the older one's name again, so
// the other order would lose the name the file had.
TEST(Undo, TheNewestRunFirstWhateverItsIdSays) {
  struct Case {
    const char* what;
    int minute[2];
    long process[2];
    bool order_lost = false;  // the file of the order removed between them
    bool order_busy = false;  // its lock held by another run for a while
  } cases[] = {
      {"a process number of more digits", {1, 1}, {999, 1000}},
      {"a clock stepped back", {5, 3}, {1000, 1001}},
      {"the order's file lost", {5, 3}, {1000, 1001}, true},
      {"the order's lock held a while", {5, 3}, {1000, 1001}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    if (c.order_busy) sys.busy["runs/sequence"] = 5;
    sys.folders[""] = fake::Files({"some_film.avi"});
    fake::RunCommand(sys, sys.console, {"some_film.avi"}, c.minute[0],
                     c.process[0]);
    if (c.order_lost) sys.files.erase("runs/sequence");
    if (c.order_busy) {
      EXPECT_EQ(sys.files["runs/sequence"], "1\n");  // waited for, and kept
      sys.busy["runs/sequence"] = 5;
    }
    fake::RunCommand(sys, sys.console, {"/m", "some film.avi"}, c.minute[1],
                     c.process[1]);
    ASSERT_EQ(sys.Names(), std::vector<std::string>{"Some Film.avi"});
    EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
    EXPECT_EQ(sys.Names(), std::vector<std::string>{"some film.avi"});
    EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
    EXPECT_EQ(sys.Names(), std::vector<std::string>{"some_film.avi"});
  }
}

TEST(Undo, PendingGoneOrAnotherEntry) {
  struct Case {
    const char* what;
    std::function<void(Sys&)> meanwhile;
    const char* line;  // how the undo reports a 1.avi
    std::vector<std::string> after;
    std::function<void(Sys&)> then;  // before a second undo
    std::vector<std::string> after_second;
  } cases[] = {
      {"old name taken",
       [](Sys& s) {
         s.folders[""].push_back(fake::MakeEntry("a_1.avi", EntryKind::kFile));
       },
       "a 1.avi ==> a_1.avi\n  [FAILED: ",
       {"a 1.avi", "a_1.avi", "b_2.avi"},
       [](Sys& s) { s.Remove("a_1.avi"); },
       {"a_1.avi", "b_2.avi"}},
      {"gone", [](Sys& s) { s.Remove("a 1.avi"); },
       "a 1.avi ==> a_1.avi\n  [FAILED: it is gone]\n",
       {"b_2.avi"},
       nullptr,
       {"b_2.avi"}},
      {"another entry",
       [](Sys& s) {
         s.Remove("a 1.avi");
         s.folders[""].push_back(fake::MakeEntry("a 1.avi", EntryKind::kFile));
       },
       "a 1.avi ==> a_1.avi\n  [FAILED: another entry has that name now; a "
       "later undo tries again]\n",
       {"a 1.avi", "b_2.avi"},
       nullptr,
       {"a 1.avi", "b_2.avi"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi"});
    sys.Run({"*"});
    c.meanwhile(sys);
    EXPECT_EQ(sys.Run({"--undo"}), 1);
    EXPECT_NE(sys.console.out.find(c.line), std::string::npos)
        << sys.console.out;
    EXPECT_EQ(sys.Names(), c.after);
    if (c.then) c.then(sys);
    sys.Run({"--undo"});
    EXPECT_EQ(sys.Names(), c.after_second);
    // What was put back or gone is never reported again.
    EXPECT_EQ(sys.console.out.find("b 2.avi"), std::string::npos)
        << sys.console.out;
  }
}

TEST(Undo, AfterAKilledUndoTheRestGoesBackQuietly) {
  Sys sys;
  sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi"});
  sys.Run({"*"});
  // The undo was killed after putting back b, before it marked anything.
  sys.Find("", "b 2.avi")->name = "b_2.avi";
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_EQ(sys.console.out,
            "Undoing the run of 2026-12-09 14:01 UTC in /abs: 2 renames\n"
            "a 1.avi ==> a_1.avi\nDone\n\n");
  EXPECT_EQ(sys.Names(), (std::vector<std::string>{"a_1.avi", "b_2.avi"}));
}

TEST(Undo, BringsBackAnEntryLeftUnderTheCaseDetour) {
  Sys sys;
  sys.ignore_case_folders = {""};
  sys.folders[""] = fake::Files({".namewisp-case-0.tmp"});
  const platform::EntryId id = sys.Stat({}, ".namewisp-case-0.tmp").id;
  std::string text = app::HistoryHeader() +
                     app::FormatRunStart("r-1", "2026-12-09T14:02:03Z");
  text += Rename("r-1", 0, "/abs/", "MOVIE.avi", "Movie.avi", id);
  sys.History() = text;
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"MOVIE.avi"});
}

// A run is going on while its journal's lock is held, whatever its process
// number: a killed run lets the lock go and is undone, also when another
// process has its number now; a live one is left alone, and asked for by
// its id, refused.
TEST(Undo, ARunIsLiveByItsLockAlone) {
  struct Case {
    const char* what;
    bool locked;
    std::vector<std::string> arguments;
    int code;
    std::vector<std::string> after;
    const char* line;
  } cases[] = {
      {"killed", false, {"--undo"}, 0, kBefore, "Undoing the run"},
      {"live", true, {"--undo"}, 0, {"a 1.avi", "b 2.avi", "c 3.avi"},
       "is still going on, or being undone: left alone\nNothing to undo.\n"},
      {"live, by id", true,
       {"--undo", "2026-12-09T140100Z-1001-00000000"}, 1,
       {"a 1.avi", "b 2.avi", "c 3.avi"}, "try again when it ends\n"},
      {"killed, by id", false,
       {"--undo", "2026-12-09T140100Z-1001-00000000"}, 0, kBefore,
       "Undoing the run"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi", "c_3.avi"});
    sys.Run({"*"});
    sys.Journal() = Without(sys.Journal(), {"made", "end"});
    if (c.locked) sys.locked.insert("runs/2026-12-09T140100Z-1001-00000000.run");
    EXPECT_EQ(sys.Run(c.arguments), c.code);
    EXPECT_NE(sys.console.out.find(c.line), std::string::npos) << sys.console.out;
    EXPECT_EQ(sys.Names(), c.after);
    sys.locked.clear();
    // What was left alone is undone once the run has ended.
    sys.Run({"--undo"});
    EXPECT_EQ(sys.Names(), kBefore);
  }
}

// A dry undo shows what an undo would put back, yet it holds no journal's
// lock while it looks (a real undo meanwhile is not refused) and marks
// nothing; a live run it leaves alone as an undo does.
TEST(Undo, ADryUndoOnlyLooks) {
  struct Watch : Sys {
    std::size_t most_held = 0;  // journals locked while the undo looks
    platform::Listing ListFolder(
        std::string_view path, std::optional<std::string_view> name) override {
      most_held = std::max(most_held, held.size());
      return Sys::ListFolder(path, name);
    }
  };
  for (bool live : {false, true}) {
    SCOPED_TRACE(live);
    Watch sys;
    sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi", "c_3.avi"});
    sys.Run({"*"});
    sys.Journal() = Without(sys.Journal(), {"made", "end"});
    const std::string journal = sys.Journal();
    if (live) sys.locked.insert("runs/2026-12-09T140100Z-1001-00000000.run");
    EXPECT_EQ(sys.Run({"--undo", "--dry-run"}), 0);
    EXPECT_NE(sys.console.out.find(live ? "left alone" : "a 1.avi ==> a_1.avi"),
              std::string::npos)
        << sys.console.out;
    EXPECT_EQ(sys.most_held, 0u);
    EXPECT_EQ(sys.Journal(), journal);
    EXPECT_EQ(sys.Names(),
              (std::vector<std::string>{"a 1.avi", "b 2.avi", "c 3.avi"}));
  }
}

// A dry undo of a run whose renames chain (b to c, then a to b) answers as
// the undo would after each step back: every line the undo shows, and
// nothing changed.
TEST(Undo, ADryUndoOfAChainShowsWhatTheUndoDoes) {
  Sys sys;
  sys.folders[""] = fake::Files({"b", "c"});
  std::string text = app::HistoryHeader() +
                     app::FormatRunStart("r-1", "2026-12-09T14:02:03Z");
  text += Rename("r-1", 0, "/abs/", "b", "c", sys.Stat({}, "c").id);
  text += Rename("r-1", 1, "/abs/", "a", "b", sys.Stat({}, "b").id);
  sys.History() = text;
  const auto user_files = sys.files;
  EXPECT_EQ(sys.Run({"--undo", "--dry-run"}), 0);
  const std::string dry = sys.console.out;
  EXPECT_EQ(sys.Names(), (std::vector<std::string>{"b", "c"}));
  EXPECT_TRUE(sys.renames.empty());
  EXPECT_EQ(sys.files, user_files);
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_EQ(sys.Names(), (std::vector<std::string>{"a", "b"}));
  const std::string lines =
      "Undoing the run of 2026-12-09 14:02 UTC: 2 renames\nb ==> a\nc ==> b\n";
  EXPECT_EQ(sys.console.out, lines + "Done\n\n");
  EXPECT_EQ(dry, lines + "Dry run: nothing was renamed.\nDone\n\n");
}

// A folder out of reach at undo (moved away, another one in its place) is
// pending, never gone: once it is back, a later undo puts its names back.
TEST(Undo, AFolderOutOfReachIsPending) {
  struct Case {
    const char* what;
    std::function<void(Sys&)> away, back;
  } cases[] = {
      {"moved away",
       [](Sys& s) { s.folders.erase("sub/"); },
       [](Sys& s) { s.folders["sub/"] = fake::Files({"a 1.avi"}); }},
      {"another folder in its place",
       [](Sys& s) { s.folder_ids["sub/"] = {1, 999, true}; },
       [](Sys& s) { s.folder_ids["sub/"] = {1, 500, true}; }},
  };
  for (const Case& c : cases) {
    for (bool by_id : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (by_id ? ", by id" : ""));
      Sys sys;
      sys.folders["sub/"] = fake::Files({"a_1.avi"});
      sys.folder_ids["sub/"] = {1, 500, true};
      sys.Run({"sub/a_1.avi"});
      const platform::EntryId id = sys.folders["sub/"][0].id;
      c.away(sys);
      std::vector<std::string> undo = {"--undo"};
      if (by_id) undo.push_back("2026-12-09T140100Z-1001-00000000");
      EXPECT_EQ(sys.Run(undo), 1);
      // Asked for, the run says what waits; else it is said and skipped.
      EXPECT_NE(sys.console.out.find(
                    by_id ? "[FAILED: its folder cannot be reached now; a "
                            "later undo tries again]"
                          : "has nothing that can be put back now"),
                std::string::npos)
          << sys.console.out;
      c.back(sys);
      sys.folders["sub/"][0].id = id;
      EXPECT_EQ(sys.Run(undo), 0) << sys.console.out;
      EXPECT_EQ(sys.Names("sub/"), std::vector<std::string>{"a_1.avi"});
    }
  }
}

// A record that cannot be written (a full disk) stops the run before its
// rename: what was renamed is on record and goes back.
TEST(History, ARecordThatCannotBeWrittenStopsTheRun) {
  for (std::size_t space : {std::size_t{100}, std::size_t{30000}}) {
    SCOPED_TRACE(space);
    Sys sys;
    std::vector<std::string> before;
    for (int i = 0; i < 600; ++i) {
      before.push_back("f_" + std::to_string(1000 + i));
      sys.folders[""].push_back(fake::MakeEntry(before.back(), EntryKind::kFile));
    }
    sys.space = space;
    EXPECT_EQ(sys.Run({"*"}), 1);
    EXPECT_NE(sys.console.out.find("cannot be written (is the disk full?): the "
                                   "run stops here"),
              std::string::npos);
    EXPECT_EQ(sys.console.out.find("Done"), std::string::npos);
    const std::size_t renamed = sys.renames.size();
    EXPECT_LT(renamed, 600u);
    EXPECT_EQ(renamed % 256, 0u);  // whole batches, each on record first
    sys.space = static_cast<std::size_t>(-1);
    sys.renames.clear();
    sys.Run({"--undo"});
    EXPECT_EQ(sys.renames.size(), renamed);
    std::sort(before.begin(), before.end());
    EXPECT_EQ(sys.Names(), before);
  }
}

TEST(Undo, SaysWhatItUndoesListsRunsAndTakesOneById) {
  Sys sys;
  sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi"});
  sys.Run({"/d", "a_1.avi"});
  const std::string first_id = "2026-12-09T140100Z-1001-00000000";
  sys.Run({"b_2.avi"});
  sys.Run({"--undo", "2026-12-09T140200Z-1002-00000000"});
  EXPECT_EQ(sys.console.out,
            "Undoing the run of 2026-12-09 14:02 UTC in /abs"
            ": 1 rename\nb 2.avi ==> b_2.avi\nDone\n\n");
  sys.Find("", "a 1.avi")->name = "x.avi";
  sys.Run({"x.avi"});  // nothing to change: no run
  EXPECT_EQ(sys.Run({"--history"}), 0);
  EXPECT_EQ(sys.console.out,
            "2026-12-09T140200Z-1002-00000000  2026-12-09 14:02 UTC  /abs"
            "  1 rename, undone\n" +
                first_id +
                "  2026-12-09 14:01 UTC  /abs  (/d)  1 rename\n");
  struct Usage {
    std::vector<std::string> arguments;
    int code;
  } usages[] = {
      {{"--undo", "/y"}, 2},
      {{"--undo", "a", "b"}, 2},
      {{"--history", "x"}, 2},
      {{"--undo", "--recursive"}, 2},
      {{"--undo", "nope"}, 1},
  };
  for (const Usage& u : usages) {
    EXPECT_EQ(sys.Run(u.arguments), u.code) << u.arguments[1];
  }
}

// The counts are of renames made: none for a run whose every rename was
// declined, and of a run killed before its marks, those whose entry stands
// under the new name; --history says it was cut short until it is undone.
// A damaged line fails the undo even with nothing else left to do.
TEST(Undo, CountsRenamesMadeAndADamagedLineFails) {
  Sys sys;
  sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi", "c_3.avi"});
  sys.Run({"/c", "*"});  // every question answered no
  EXPECT_EQ(sys.Run({"--history"}), 0);
  EXPECT_NE(sys.console.out.find("  (/c)  0 renames\n"), std::string::npos)
      << sys.console.out;
  sys.Run({"*"});
  sys.Journal() = Without(sys.Journal(), {"made", "end"});
  sys.Find("", "b 2.avi")->name = "b_2.avi";  // killed before it got there
  sys.Run({"--history"});
  EXPECT_NE(sys.console.out.find("/abs  2 renames, cut short\n"),
            std::string::npos)
      << sys.console.out;
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_NE(sys.console.out.find(": 2 renames\n"), std::string::npos)
      << sys.console.out;
  sys.Run({"--history"});
  EXPECT_EQ(sys.console.out.find("cut short"), std::string::npos)
      << sys.console.out;
  sys.Journal() += "garbage\n";
  EXPECT_EQ(sys.Run({"--undo"}), 1);
  EXPECT_NE(sys.console.out.find("Nothing to undo.\n"), std::string::npos);
}

// Undo's first line and --history show a folder's control bytes escaped on
// a terminal, as the rename lines do.
TEST(Undo, AFolderNameCannotDriveTheTerminal) {
  Sys sys;
  sys.console.terminal = true;
  sys.folders["t\x1b]0;owned\x07/"] = fake::Files({"a_1.avi"});
  const std::string journal = "runs/r-1.run";
  sys.files[journal] = app::HistoryHeader() +
                       app::FormatRunStart("r-1", "t", "/abs/t\x1b]0;owned\x07/", "");
  sys.files[journal] +=
      Rename("r-1", 0, "/abs/t\x1b]0;owned\x07/", "a_0.avi", "a_1.avi",
             sys.Stat({"t\x1b]0;owned\x07/", nullptr}, "a_1.avi").id);
  for (const char* what : {"--history", "--undo"}) {
    sys.Run({what});
    EXPECT_EQ(sys.console.out.find('\x1b'), std::string::npos) << sys.console.out;
    EXPECT_NE(sys.console.out.find("t\\033]0;owned\\a"), std::string::npos)
        << sys.console.out;
  }
}

// A case change killed between its steps leaves the entry under a
// temporary name that tells its run and rename: undo brings back that one,
// never another link of the same file, under an older temporary name or
// under the new name itself (where the system tells case apart).
TEST(Undo, TheCaseDetourOfTheRenameItself) {
  struct Case {
    const char* what;
    bool ignore_case;
    const char* link;  // another link of the file
    std::vector<std::string> after;
  } cases[] = {
      {"a link under an older temporary name", true, ".namewisp-case-0.tmp",
       {".namewisp-case-0.tmp", "MOVIE.avi"}},
      {"a link under the new name", false, "Movie.avi",
       {"MOVIE.avi", "Movie.avi"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    if (c.ignore_case) sys.ignore_case_folders = {""};
    sys.folders[""] = fake::Files({"MOVIE.avi"});
    sys.contents["|MOVIE.avi"] = "film";
    sys.Run({"/m", "MOVIE.avi"});
    ASSERT_EQ(sys.Names(), std::vector<std::string>{"Movie.avi"});
    // As if killed after the first step, with another link of the file.
    platform::Entry& entry = *sys.Find("", "Movie.avi");
    const platform::EntryId id = sys.Stat({}, "Movie.avi").id;
    const std::string detour =
        app::CaseDetour("2026-12-09T140100Z-1001-00000000-0");
    entry.name = detour;
    sys.Carry("|Movie.avi", "|" + detour);
    platform::Entry link = fake::MakeEntry(c.link, EntryKind::kFile);
    link.id = id;
    sys.folders[""].push_back(link);
    sys.contents[std::string("|") + c.link] = "link";
    sys.Journal() = Without(sys.Journal(), {"made", "end"});
    EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
    EXPECT_EQ(sys.Names(), c.after);
    EXPECT_EQ(sys.contents["|MOVIE.avi"], "film");
    EXPECT_EQ(sys.contents[std::string("|") + c.link], "link");
  }
}

// On a file system that gives its entries new numbers when it is mounted
// again (an exFAT stick, a network share), undo knows them by name, size and
// time, and says so once; a change of letter case alone goes back too.  On
// one that keeps its numbers, the numbers still decide.
TEST(Undo, WhereNumbersAreNotKeptEntriesAreKnownByName) {
  struct Case {
    const char* type;
    bool ignore_case;
    std::vector<std::string> before, arguments;
    int code;
    bool by_name;
  } cases[] = {
      {"exfat", true, kBefore, {"*"}, 0, true},
      {"fuse", true, {"MOVIE.avi"}, {"/m", "*"}, 0, true},
      {"nfs", false, kBefore, {"*"}, 0, true},
      {"ext4", false, kBefore, {"*"}, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    Sys sys;
    sys.volume_types[""] = c.type;
    if (c.ignore_case) sys.ignore_case_folders = {""};
    std::vector<platform::Entry> entries;
    for (const std::string& name : c.before)
      entries.push_back(fake::MakeEntry(name, EntryKind::kFile));
    sys.folders[""] = entries;
    sys.folder_ids[""] = {1, 500, true};
    EXPECT_EQ(sys.Run(c.arguments), 0);
    EXPECT_EQ(sys.Journal().find("\t=") != std::string::npos, c.by_name);
    // Plugged in again: every entry and the folder have new numbers.
    std::uint64_t number = 9000;
    for (platform::Entry& e : sys.folders[""]) e.id = {1, ++number, true};
    if (!c.by_name) sys.folder_ids[""] = {1, 1, true};
    EXPECT_EQ(sys.Run({"--undo"}), c.code) << sys.console.out;
    EXPECT_EQ(sys.Names() == c.before, c.by_name) << sys.console.out;
    const std::string said = "undo knows them there by name, size and "
                             "modification time\n";
    EXPECT_EQ(sys.console.out.find(said) != std::string::npos, c.by_name);
    EXPECT_EQ(sys.console.out.find(said), sys.console.out.rfind(said));
  }
}

TEST(Undo, ARunTouchedByALaterOneWaits) {
  Sys sys;
  sys.folders[""] = fake::Files({"c"});
  const platform::EntryId id = sys.Stat({}, "c").id;
  std::string text = app::HistoryHeader();
  for (const char* run : {"r-1", "r-2"}) {
    text += app::FormatRunStart(run, "t");
    const bool first = run[2] == '1';
    text += Rename(run, 0, "/abs/", first ? "a" : "b", first ? "b" : "c", id);
    text += app::FormatMade(run, 0, 0) + app::FormatEnd(run, 1);
  }
  sys.History() = text;
  EXPECT_EQ(sys.Run({"--undo", "r-1"}), 1);
  EXPECT_NE(sys.console.out.find("a later run renamed the same entries"),
            std::string::npos);
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_EQ(sys.Run({"--undo", "r-1"}), 0);
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"a"});
}

// A later run whose rename of the same entry failed changed nothing: it
// stands in the way of no undo.
TEST(Undo, ALaterRunThatChangedNothingDoesNotWait) {
  Sys sys;
  sys.folders[""] = fake::Files({"b"});
  const platform::EntryId id = sys.Stat({}, "b").id;
  std::string text = app::HistoryHeader();
  text += app::FormatRunStart("r-1", "t");
  text += Rename("r-1", 0, "/abs/", "a", "b", id);
  text += app::FormatMade("r-1", 0, 0) + app::FormatEnd("r-1", 1);
  text += app::FormatRunStart("r-2", "t");
  text += Rename("r-2", 0, "/abs/", "b", "c", id);
  text += app::FormatEnd("r-2", 1);
  sys.History() = text;
  EXPECT_EQ(sys.Run({"--undo", "r-1"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"a"});
}

// Whole journals go, never part of one: beyond the runs kept the oldest
// undone first, and runs not undone only past the cap; never a live one,
// however long it runs.
TEST(History, WholeJournalsGoTheOldestUndoneFirstNeverALiveOne) {
  struct Case {
    std::size_t runs;
    bool undo_each;
    std::size_t left;
  } cases[] = {
      {app::kRunsKept + 5, false, app::kRunsKept + 6},
      {app::kRunsKept + 5, true, app::kRunsKept},
      {app::kRunsCap + 3, false, app::kRunsCap},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.runs);
    Sys sys;
    const std::string live = "runs/2026-12-09T000000Z-1-00000000.run";
    sys.files[live] = app::HistoryHeader();
    sys.locked.insert(live);
    sys.piece = 7;
    for (std::size_t i = 0; i < c.runs; ++i) {
      sys.folders[""] = fake::Files({"f_1.avi"});
      sys.runs = static_cast<int>(i);
      sys.Run({"*"});
      if (c.undo_each) sys.Run({"--undo"});
    }
    EXPECT_EQ(sys.Journals(), c.left);
    EXPECT_EQ(sys.files.count(live), 1u);
    if (c.undo_each) continue;
    // The oldest went, by the order the runs took, though their clock
    // (each run's minute goes round by ten) says otherwise.
    for (std::size_t run = 1; run <= c.runs; ++run) {
      const std::string process = "-" + std::to_string(1000 + run) + "-";
      const bool kept = std::any_of(
          sys.files.begin(), sys.files.end(),
          [&](const auto& f) { return f.first.find(process) != std::string::npos; });
      EXPECT_EQ(kept, run + c.left > c.runs + 1) << run;
    }
  }
}

// A run stops where its journal would pass the most a run records, closed
// and undoable as a whole; a history file larger than namewisp reads is said
// for what it is, and the journals beside it stay undoable.
TEST(History, TheSizeOfAJournalIsBounded) {
  Sys sys;
  sys.cap = 6 << 10;  // a run records at most 2 KiB
  std::vector<platform::Entry> many;
  for (int i = 0; i < 40; ++i)
    many.push_back(fake::MakeEntry("f_" + std::to_string(100 + i) + ".avi",
                                   EntryKind::kFile));
  sys.folders[""] = many;
  const std::vector<std::string> before = sys.Names();
  EXPECT_EQ(sys.Run({"*"}), 1);
  EXPECT_NE(sys.console.out.find("holds the most one run records (2 KiB): the "
                                 "run stops here, and what it renamed can be "
                                 "undone"),
            std::string::npos)
      << sys.console.out;
  EXPECT_LT(sys.Journal().size(), sys.cap / 2);
  EXPECT_NE(sys.Journal().find("\nend\t"), std::string::npos);
  const std::size_t renamed = std::count_if(
      sys.folders[""].begin(), sys.folders[""].end(),
      [](const platform::Entry& e) { return e.name.find(' ') != std::string::npos; });
  EXPECT_GT(renamed, 0u);
  EXPECT_LT(renamed, many.size());

  sys.History() = std::string(sys.cap + 1, 'x');
  for (const char* asked : {"--history", "--undo"}) {
    EXPECT_EQ(sys.Run({asked}), 1);
    EXPECT_NE(sys.console.out.find("stderr:namewisp: the undo history history "
                                   "is larger than 6 KiB, the most namewisp "
                                   "reads: its runs cannot be undone"),
              std::string::npos)
        << sys.console.out;
  }
  EXPECT_EQ(sys.Names(), before);  // the run's journal was read and undone
  EXPECT_LE(sys.Journal().size(), sys.cap);
}

TEST(History, ARenameThatCannotBeRecordedIsNotMade) {
  Sys sys;
  sys.folders[""] = fake::Files({"a_1.avi"});
  sys.no_absolute = {""};
  EXPECT_EQ(sys.Run({"*"}), 1);
  EXPECT_EQ(sys.console.out,
            "a_1.avi ==> a 1.avi\n"
            "  [FAILED: its folder cannot be recorded for undo]\n1 failed\nDone\n\n");
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"a_1.avi"});
}

}  // namespace

namespace {

// A record as an earlier namewisp sealed it.
std::string Sealed(const std::string& payload) {
  std::uint32_t hash = 2166136261u;
  for (char c : payload) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char check[9];
  for (int i = 0; i < 8; ++i)
    check[i] = "0123456789abcdef"[hash >> (28 - 4 * i) & 0xF];
  check[8] = '\0';
  return payload + "\t" + check + "\n";
}

// Runs as earlier namewisps recorded them stay undoable, and only their
// renames marked made go back: the old history file (without identities;
// then without the folders' identities), and a run's journal into a
// library as written before the records had one table.
TEST(Undo, AnEarlierHistoryStaysUndoable) {
  platform::Entry a = fake::MakeEntry("a 1.avi", EntryKind::kFile);
  a.id = {1, 0x14, true};
  struct Case {
    const char* what;
    const char* file;
    std::string text;
    std::vector<platform::Entry> here, in_lib;
  } cases[] = {
      {"history 1",
       "history",
       "namewisp history 1\n" + Sealed("run\told-1\tt") +
           Sealed("run\told-2\tt2") +
           Sealed("rename\told-2\t/abs/\ta_1.avi\ta 1.avi") +
           Sealed("rename\told-2\t/abs/\tb_2.avi\tb 2.avi") +
           Sealed("rename\told-2\t/abs/\tc_3.avi\tc 3.avi") +
           Sealed("made\told-2\t0") + Sealed("made\told-2\t2") +
           Sealed("undone\told-1"),
       fake::Files({"a 1.avi", "b_2.avi", "c 3.avi"}),
       {}},
      {"history 2",
       "history",
       "namewisp history 2\n"
       "run\tr-3\t2026-03-01T08:00:00Z\t/abs/\t/y /k *\t79a112b2\n"
       "rename\tr-3\t0\t/abs/\ta_1.avi\ta 1.avi\t1:14\t73a6c088\n"
       "rename\tr-3\t1\t/abs/\tb_2.avi\tb 2.avi\t-\t56042496\n"
       "rename\tr-3\t2\t/abs/\tc_3.avi\tc 3.avi\t-\t22ee774b\n"
       "made\tr-3\t0-2\t1b2c13ed\n"
       "undone\tr-3\t1\t789a8297\n"
       "end\tr-3\t3\t91547855\n",
       {a, fake::MakeEntry("b_2.avi", EntryKind::kFile),
        fake::MakeEntry("c 3.avi", EntryKind::kFile)},
       {}},
      {"a journal",
       "runs/r-5.run",
       "namewisp history 3\n"
       "run\tr-5\t2026-12-10T09:30:00Z\t/abs/\t--into /abs/lib *\t42a60563\n"
       "rename\tr-5\t0\t/abs/\ta_1.avi\ta 1.avi\t1:14\t-\tad6f7af8\n"
       "folder\tr-5\t1\t/abs/\tlib\t-\tb9d7dcdf\n"
       "move\tr-5\t2\t/abs/\tb_2.avi\t/abs/lib/\tb 2.avi\t1:15\t-\t-\t"
       "37a009b5\n"
       "made\tr-5\t0-2\t8c78556b\n"
       "end\tr-5\t3\t13ec3e47\n",
       {a, fake::MakeEntry("lib", EntryKind::kDirectory),
        fake::MakeEntry("c_3.avi", EntryKind::kFile)},
       {fake::MakeEntry("b 2.avi", EntryKind::kFile)}},
  };
  cases[2].in_lib[0].id = {1, 0x15, true};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    sys.folders[""] = c.here;
    if (!c.in_lib.empty()) sys.folders["lib/"] = c.in_lib;
    sys.files[c.file] = c.text;
    EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
    EXPECT_EQ(sys.Names(),
              (std::vector<std::string>{"a_1.avi", "b_2.avi", "c_3.avi"}));
    EXPECT_EQ(sys.folders.count("lib/"), 0u);
    EXPECT_EQ(sys.Run({"--undo"}), 0);
    EXPECT_EQ(sys.console.out, "Nothing to undo.\n");
    // The old file is never written again: its marks and a new run go to
    // files of their own, and the new run is undone in turn.
    const std::string old = sys.History();
    EXPECT_EQ(sys.Run({"a_1.avi"}), 0);
    EXPECT_EQ(sys.console.out, "a_1.avi ==> a 1.avi\n1 renamed\nDone\n\n");
    EXPECT_EQ(sys.History(), old);
    EXPECT_EQ(sys.Run({"--undo"}), 0);
    EXPECT_EQ(sys.Names(),
              (std::vector<std::string>{"a_1.avi", "b_2.avi", "c_3.avi"}));
  }
}

// A folder the run made that cannot go (made read-only since, say) is said
// and left: the run is undone, and the next undo goes to the run before.
TEST(Undo, AFolderThatCannotGoDoesNotHoldTheRunBack) {
  Sys sys;
  sys.folders[""] = fake::Files({"Film.2010.mkv"});
  sys.folders["lib/"];
  ASSERT_EQ(sys.Run({"--into", "lib", "*"}), 0) << sys.console.out;
  sys.fail["Film (2010)"] = Failure::kPermission;
  EXPECT_EQ(sys.Run({"--undo"}), 1);
  EXPECT_NE(sys.console.out.find("lib/Movies/Film (2010)/ [FAILED: "),
            std::string::npos)
      << sys.console.out;
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"Film.2010.mkv"});
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_EQ(sys.console.out, "Nothing to undo.\n");
}

// A library folder that a run made goes once every run that used it is
// undone, whichever undo empties it: one that a later run reused, undone
// first by its id, or one whose other run's move was pending until later.
TEST(Undo, ALibraryFolderGoesWithTheLastRunThatUsedIt) {
  struct Case {
    const char* what;
    std::vector<std::vector<std::string>> undos;
    // The later run's download name is taken until that undo: -1 never.
    int taken_until;
  } cases[] = {
      {"the earlier run undone first",
       {{"--undo", "2026-12-09T140100Z-1001-00000000"}, {"--undo"}},
       -1},
      {"a pending move settled later",
       {{"--undo"},
        {"--undo", "2026-12-09T140100Z-1001-00000000"},
        {"--undo"}},
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    sys.folders[""] = fake::Files({"Film.2010.mkv", "Other.2011.mkv"});
    sys.folders["lib/"];
    ASSERT_EQ(sys.Run({"--into", "lib", "Film.2010.mkv"}), 0);
    ASSERT_EQ(sys.Run({"--into", "lib", "Other.2011.mkv"}), 0);
    ASSERT_EQ(sys.Names("lib/Movies/"),
              (std::vector<std::string>{"Film (2010)", "Other (2011)"}));
    if (c.taken_until >= 0)
      sys.folders[""].push_back(
          fake::MakeEntry("Other.2011.mkv", EntryKind::kFile));
    for (int i = 0; i < static_cast<int>(c.undos.size()); ++i) {
      if (i == c.taken_until) sys.Remove("Other.2011.mkv");
      sys.Run(c.undos[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(sys.Names(),
              (std::vector<std::string>{"Film.2010.mkv", "Other.2011.mkv"}))
        << sys.console.out;
    EXPECT_EQ(sys.Names("lib/"), std::vector<std::string>{}) << sys.console.out;
  }
}

// A download folder the run emptied and removed, made again by an undo run
// as root: its owner's again, with its mode and its time once its files
// are back in it.
TEST(Undo, AFolderMadeAgainIsItsOwnersWithItsTime) {
  Sys s;
  s.folders[""] = {fake::MakeEntry("Moon", EntryKind::kDirectory),
                   fake::MakeEntry("lib", EntryKind::kDirectory)};
  s.folders["Moon/"] = fake::Files({"Moon.2009.1080p.mkv"});
  s.folders["lib/"];
  s.folder_ids["Moon/"] = {2, 900, true};
  const platform::EntryFacts had{true, 1000, 100, 0750, 1500000000000000001,
                                 1600000000000000002};
  s.facts["|Moon"] = had;
  ASSERT_EQ(s.Run({"--into", "lib", "Moon"}), 0) << s.console.out;
  ASSERT_EQ(s.folders.count("Moon/"), 0u) << s.console.out;
  ASSERT_EQ(s.Run({"--undo"}), 0) << s.console.out;
  EXPECT_EQ(s.Names("Moon/"), std::vector<std::string>{"Moon.2009.1080p.mkv"});
  EXPECT_EQ(s.facts.at("|Moon"), had) << s.console.out;
}

}  // namespace

// A run killed in the middle of writing a record leaves its journal's last
// line torn; the undo's marks end that line first, and every later read of
// the journal takes it as cut short, never as damage.
TEST(Undo, ALineTornByAKillIsNeverTakenForDamage) {
  Sys sys;
  sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi"});
  ASSERT_EQ(sys.Run({"*"}), 0);
  std::string& journal = sys.Journal();
  journal.resize(journal.size() - 7);  // the last record cut short
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Names(), (std::vector<std::string>{"a_1.avi", "b_2.avi"}));
  sys.console.out.clear();
  EXPECT_EQ(sys.Run({"--history"}), 0) << sys.console.out;
  EXPECT_EQ(sys.console.out.find("damaged"), std::string::npos) << sys.console.out;
}
