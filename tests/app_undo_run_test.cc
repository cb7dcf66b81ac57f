#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/history_format.h"
#include "app/program.h"
#include "fake_system.h"

namespace {

using platform::EntryKind;
using platform::Failure;

struct Sys : fake::FileSystem {
  fake::Console console;
  int runs = 0;  // each run its own start time and process number

  int Run(std::vector<std::string> arguments) {
    platform::CommandLine command_line;
    command_line.arguments = std::move(arguments);
    ++runs;
    app::System system{*this,
                       console,
                       platform::PathStyle::kPosix,
                       &text::AsciiOnlyMapping(),
                       2026,
                       "2026-12-09T14:0" + std::to_string(runs % 10) + ":00Z",
                       1000 + runs};
    console.out.clear();
    return app::RunProgram(command_line, system);
  }
  std::vector<std::string> Names(const std::string& dir = "") {
    std::vector<std::string> names;
    for (const platform::Entry& e : folders[dir]) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string& History() { return files["history"]; }
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
       "stderr:namewisp: history: line 4: damaged (its check does not "
       "match)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sys sys;
    sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi", "c_3.avi"});
    if (c.failing) sys.fail[c.failing] = Failure::kPermission;
    sys.Run({"*"});
    sys.fail.clear();
    if (c.damage) sys.History() = c.damage(sys.History());
    EXPECT_EQ(sys.Run({"--undo"}), c.code) << sys.console.out;
    EXPECT_EQ(sys.Names(), c.after);
    if (c.error) {
      EXPECT_NE(sys.console.out.find(c.error), std::string::npos)
          << sys.console.out;
    }
    if (c.failing) {
      EXPECT_EQ(sys.console.out.find("b 2.avi"), std::string::npos);
    }
  }
}

TEST(Undo, ADamagedFloodIsSummedUp) {
  Sys sys;
  sys.folders[""] = fake::Files({"a_1.avi"});
  sys.Run({"*"});
  for (int i = 0; i < 20; ++i) sys.History() += "garbage\n";
  EXPECT_EQ(sys.Run({"--undo"}), 1);
  EXPECT_EQ(std::count(sys.console.out.begin(), sys.console.out.end(), '\n'),
            5 + 1 + 3 + 1);  // 5 lines and a sum, the run and its rename, Done
  EXPECT_NE(sys.console.out.find("15 more damaged lines skipped"),
            std::string::npos);
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"a_1.avi"});
}

// Another run writing to the history between this run's batches: its
// records never make this run's unreadable.
TEST(Undo, ARunWrittenBetweenTheBatchesOfAnother) {
  Sys sys;
  std::vector<std::string> before;
  for (int i = 0; i < 300; ++i) before.push_back("f_" + std::to_string(1000 + i));
  for (const std::string& name : before)
    sys.folders[""].push_back(fake::MakeEntry(name, EntryKind::kFile));
  sys.files["history"] = app::HistoryHeader();
  int appends = 0;
  std::function<void()> other = [&] {
    if (++appends == 2)
      sys.History() += app::FormatRunStart("other-9", "t", "/abs/", "") +
                       app::FormatRename("other-9", {"/abs/", "x", "y", false, {}, 0}) +
                       app::FormatEnd("other-9", 1);
    else
      sys.before_append = other;
  };
  sys.before_append = other;
  sys.Run({"*"});
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out.substr(0, 300);
  EXPECT_EQ(sys.Names(), before);
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
       "a 1.avi ==> a_1.avi\n  [FAILED: another entry has that name now]\n",
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
  const platform::EntryId id = sys.Identify({}, ".namewisp-case-0.tmp");
  std::string text = app::HistoryHeader() +
                     app::FormatRunStart("r-1", "2026-12-09T14:02:03Z");
  app::AppendRename(text, "r-1", 0, "/abs/", "MOVIE.avi", "Movie.avi", id);
  sys.History() = text;
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Names(), std::vector<std::string>{"MOVIE.avi"});
}

TEST(Undo, LeavesALiveRunAlone) {
  Sys sys;
  sys.History() = app::HistoryHeader() +
                  app::FormatRunStart("2026-12-09T14:02:03Z-4242", "t") +
                  app::FormatRename("2026-12-09T14:02:03Z-4242",
                                    {"/abs/", "a", "b", false, {}, 0});
  sys.running = {4242};
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_EQ(sys.console.out,
            "stderr:namewisp: the run 2026-12-09T14:02:03Z-4242 is still "
            "going on: left alone\nNothing to undo.\n");
}

TEST(Undo, SaysWhatItUndoesListsRunsAndTakesOneById) {
  Sys sys;
  sys.folders[""] = fake::Files({"a_1.avi", "b_2.avi"});
  sys.Run({"/d", "a_1.avi"});
  const std::string first_id = "2026-12-09T14:01:00Z-1001";
  sys.Run({"b_2.avi"});
  sys.Run({"--undo", "2026-12-09T14:02:00Z-1002"});
  EXPECT_EQ(sys.console.out,
            "Undoing the run of 2026-12-09 14:02 UTC in /abs"
            ": 1 rename\nb 2.avi ==> b_2.avi\nDone\n\n");
  sys.Find("", "a 1.avi")->name = "x.avi";
  sys.Run({"x.avi"});  // nothing to change: no run
  EXPECT_EQ(sys.Run({"--history"}), 0);
  EXPECT_EQ(sys.console.out,
            "2026-12-09T14:02:00Z-1002  2026-12-09 14:02 UTC  /abs"
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

TEST(Undo, ARunTouchedByALaterOneWaits) {
  Sys sys;
  sys.folders[""] = fake::Files({"c"});
  const platform::EntryId id = sys.Identify({}, "c");
  std::string text = app::HistoryHeader();
  for (const char* run : {"r-1", "r-2"}) {
    text += app::FormatRunStart(run, "t");
    const bool first = run[2] == '1';
    app::AppendRename(text, run, 0, "/abs/", first ? "a" : "b",
                      first ? "b" : "c", id);
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

// The history is read in pieces: runs are counted across them, so a file
// with room left is appended to and only a full one is cut.
TEST(History, CountsRunsAcrossPiecesAndCutsOnlyWhenFull) {
  for (std::size_t piece : {std::size_t{7}, std::size_t{1} << 17}) {
    SCOPED_TRACE(piece);
    Sys sys;
    sys.piece = piece;
    for (std::size_t i = 0; i < app::kHistoryRunsKept; ++i) {
      sys.folders[""] = fake::Files({"f_1.avi"});
      sys.Run({"*"});
    }
    EXPECT_EQ(sys.edits, 0);
    EXPECT_EQ(app::ReadHistory(sys.History()).runs.size(),
              app::kHistoryRunsKept);
    sys.folders[""] = fake::Files({"f_1.avi"});
    sys.Run({"*"});
    EXPECT_EQ(sys.edits, 1);
    EXPECT_EQ(app::ReadHistory(sys.History()).runs.size(),
              app::kHistoryRunsKept);
  }
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

// Runs an earlier namewisp recorded (without identities) stay undoable, and
// only their renames marked made go back.
TEST(Undo, AnEarlierHistoryStaysUndoable) {
  Sys sys;
  sys.folders[""] = fake::Files({"a 1.avi", "b_2.avi", "c 3.avi"});
  sys.History() = "namewisp history 1\n" + Sealed("run\told-1\tt") +
                  Sealed("run\told-2\tt2") +
                  Sealed("rename\told-2\t/abs/\ta_1.avi\ta 1.avi") +
                  Sealed("rename\told-2\t/abs/\tb_2.avi\tb 2.avi") +
                  Sealed("rename\told-2\t/abs/\tc_3.avi\tc 3.avi") +
                  Sealed("made\told-2\t0") + Sealed("made\told-2\t2") +
                  Sealed("undone\told-1");
  EXPECT_EQ(sys.Run({"--undo"}), 0) << sys.console.out;
  EXPECT_EQ(sys.Names(),
            (std::vector<std::string>{"a_1.avi", "b_2.avi", "c_3.avi"}));
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_EQ(sys.console.out, "Nothing to undo.\n");
  // A new run goes on in the same file, and is undone in turn.
  EXPECT_EQ(sys.Run({"a_1.avi"}), 0);
  EXPECT_EQ(sys.console.out, "a_1.avi ==> a 1.avi\n1 renamed\nDone\n\n");
  EXPECT_TRUE(sys.History().starts_with("namewisp history 1\n"));
  EXPECT_EQ(sys.Run({"--undo"}), 0);
  EXPECT_EQ(sys.Names(),
            (std::vector<std::string>{"a_1.avi", "b_2.avi", "c_3.avi"}));
}

}  // namespace
