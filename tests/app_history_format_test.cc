#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/history_format.h"

// Records written as plain lists of their fields.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using app::HistoryRename;
using app::HistoryRun;

std::vector<std::string> Flat(const std::vector<HistoryRename>& renames) {
  std::vector<std::string> flat;
  for (const HistoryRename& r : renames) {
    flat.insert(flat.end(), {r.directory, r.old_name, r.new_name});
  }
  return flat;
}

// A record line as the format describes it, for lines the writer never makes.
std::string Sealed(const std::string& payload) {
  std::uint32_t hash = 2166136261u;
  for (char c : payload) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  char check[9];
  for (int i = 0; i < 8; ++i)
    check[i] = "0123456789abcdef"[hash >> (28 - 4 * i) & 0xF];
  check[8] = '\0';
  return payload + "\t" + check + "\n";
}

// The mark an earlier namewisp wrote for a whole run undone.
std::string WholeRunUndone(const std::string& id) {
  return Sealed("undone\t" + id);
}

std::string Write(const std::vector<HistoryRun>& runs) {
  std::string text = app::HistoryHeader();
  for (const HistoryRun& run : runs) {
    text += app::FormatRunStart(run.id, run.started);
    std::size_t number = 0;
    for (HistoryRename r : run.renames) {
      r.number = number++;
      text += app::FormatRename(run.id, r);
    }
    if (run.undone) text += WholeRunUndone(run.id);
  }
  return text;
}

void ExpectRuns(const std::vector<HistoryRun>& got,
                const std::vector<HistoryRun>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].id, want[i].id);
    EXPECT_EQ(got[i].started, want[i].started);
    EXPECT_EQ(got[i].undone, want[i].undone);
    EXPECT_EQ(Flat(got[i].renames), Flat(want[i].renames)) << "run " << i;
  }
}

TEST(HistoryFormat, AwkwardNamesComeBackByteForByte) {
  std::string all_bytes;
  for (int c = 1; c < 256; ++c) all_bytes += static_cast<char>(c);
  struct Case {
    std::string name;
    std::string stored;  // as the field stands in the file, if given
  } cases[] = {
      {"plain name.avi", "plain name.avi"},
      {"line\nfeed", "line\\nfeed"},
      {"tab\there", "tab\\there"},
      {"cr\rhere\r", "cr\\rhere\\r"},
      {"back\\slash\\", "back\\\\slash\\\\"},
      {"\\x41 \\n", "\\\\x41 \\\\n"},
      {std::string("nul\0in", 6), "nul\\x00in"},
      {"\x01\x1f\x7f", "\\x01\\x1f\\x7f"},
      {"caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x8e\xac",
       "caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x8e\xac"},
      {"latin1 caf\xe9", "latin1 caf\\xe9"},
      {"\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80",  // overlong, surrogate, too
                                                  // high
       "\\xc0\\xaf \\xed\\xa0\\x80 \\xf4\\x90\\x80\\x80"},
      {"cut \xe6\x97", "cut \\xe6\\x97"},
      {"\x80\xfe\xff", "\\x80\\xfe\\xff"},
      {"a\nrun\tx\t\t00000000\nrename\tx\t/\tx\ty",
       "a\\nrun\\tx\\t\\t00000000\\nrename\\tx\\t/\\tx\\ty"},
      {all_bytes, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.name));
    // A name never holds a "/": the folder does.
    std::string name = c.name;
    std::erase(name, '/');
    const HistoryRun run{
        c.name, c.name, false, {{"/dir/" + c.name, name, name + ".new"}}};
    const std::string text = Write({run});
    if (!c.stored.empty()) {
      EXPECT_NE(text.find("\t" + c.stored + "\t"), std::string::npos);
    }
    // One line per record, whatever the name holds.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    const app::HistoryRead read = app::ReadHistory(text);
    EXPECT_TRUE(read.known_format);
    EXPECT_TRUE(read.problems.empty());
    ExpectRuns(read.runs, {run});
  }
}

// A move's two folders and a made folder come back with their kinds and
// identities; either folder relative is damage.
TEST(HistoryFormat, MovesAndMadeFoldersComeBack) {
  std::string text = app::HistoryHeader() + app::FormatRunStart("r", "t");
  app::AppendFolder(text, "r", 0, "/lib/", "Movies", {1, 2, true});
  app::AppendMove(text, "r", 1, "/dl/", "Film.2010.mkv", "/lib/Movies/",
                  "Film (2010).mkv", {1, 7, true}, {1, 3, true}, {});
  app::AppendMove(text, "r", 2, "/dl/", "a.mkv", "lib/", "b.mkv", {}, {}, {});
  text += app::FormatMade("r", 0, 1);
  // Its copy between two disks, and undo's copy back begun.
  app::AppendCopy(text, "r", 1, false, false);
  app::AppendCopy(text, "r", 1, false, true, {1, 9, true});
  app::AppendCopy(text, "r", 1, true, false);
  app::AppendCopy(text, "r", 0, true, false);  // not of a move
  const app::HistoryRead read = app::ReadHistory(text);
  ASSERT_EQ(read.problems.size(), 2u);
  EXPECT_EQ(read.problems[0], "line 5: a folder that is not absolute");
  EXPECT_EQ(read.problems[1], "line 10: copy of a move not recorded");
  ASSERT_EQ(read.runs.size(), 1u);
  const std::vector<HistoryRename>& steps = read.runs[0].renames;
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].kind, app::StepKind::kFolder);
  EXPECT_EQ(steps[0].directory + steps[0].new_name, "/lib/Movies");
  EXPECT_EQ(steps[0].folder_id, (platform::EntryId{1, 2, true}));
  EXPECT_EQ(steps[1].kind, app::StepKind::kMove);
  EXPECT_EQ(steps[1].directory + steps[1].old_name, "/dl/Film.2010.mkv");
  EXPECT_EQ(steps[1].NewDirectory() + steps[1].new_name,
            "/lib/Movies/Film (2010).mkv");
  EXPECT_EQ(steps[1].id, (platform::EntryId{1, 7, true}));
  EXPECT_FALSE(steps[1].to_folder_id.known);
  EXPECT_TRUE(steps[0].made && steps[1].made);
  EXPECT_TRUE(steps[1].across && steps[1].copied && steps[1].back);
  EXPECT_FALSE(steps[1].back_copied);
  EXPECT_EQ(steps[1].copy_id, (platform::EntryId{1, 9, true}));
}

TEST(HistoryFormat, EveryCutReadsOnlyWholeRecordsAndReportsTheTornOne) {
  const std::vector<HistoryRun> written = {
      {"r1",
       "2026-01-02T03:04:05",
       true,
       {{"/d", "a\nb", "a b"}, {"/d", "\xff\\", "x"}}},
      {"r2",
       "",
       false,
       {{"C:\\films", "Some.Movie.2010.avi", "Some Movie (2010).avi"}}},
  };
  const std::string text = Write(written);
  // Where each record line ends (before its line feed), in file order.
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') ends.push_back(i);
  }
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const app::HistoryRead read = app::ReadHistory(text.substr(0, cut));
    // The records whose line is whole, each exactly as written.
    std::vector<HistoryRun> want;
    std::size_t line = 1;
    bool torn = false;
    for (const HistoryRun& run : written) {
      auto whole = [&] {
        const bool in = ends[line] <= cut;
        torn = torn || (!in && ends[line - 1] + 1 < cut);
        ++line;
        return in;
      };
      if (!whole()) break;
      want.push_back({run.id, run.started, false, {}});
      for (const HistoryRename& r : run.renames) {
        if (whole()) want.back().renames.push_back(r);
      }
      if (run.undone && whole()) want.back().undone = true;
    }
    ExpectRuns(read.runs, want);
    if (cut == 0 || cut >= ends[0]) {
      EXPECT_EQ(read.problems.size(), torn ? 1u : 0u);
    } else {
      EXPECT_EQ(read.problems,
                std::vector<std::string>{"line 1: not a namewisp history"});
    }
  }
}

TEST(HistoryFormat, DamagedLinesAreReportedAndSkipped) {
  const std::string rename = app::FormatRename("r1", {"/d", "old", "new"});
  std::string flipped = rename;
  flipped[flipped.find("new")] = 'm';  // a name edited by hand
  struct Case {
    std::string line;
    std::string problem;
  } cases[] = {
      {"garbage\n", "line 4: not a record"},
      {flipped, "line 4: damaged (its check does not match)"},
      {rename.substr(0, 12) + WholeRunUndone("r1"),
       "line 4: damaged (its check does not match)"},
      {rename.substr(0, rename.size() - 2) + "\n",
       "line 4: damaged (its check does not match)"},
      {std::string("\0\0\0\0\n", 5), "line 4: not a record"},
      {Sealed("copy\tr1\t/d\told\tnew"), "line 4: unknown kind of record"},
      {Sealed("rename\tr1\t/d\told"), "line 4: wrong number of fields"},
      {Sealed("rename\tr1\t/d\told\tnew\tmore"),
       "line 4: wrong number of fields"},
      {Sealed("rename\tr1\t/d\told\\qx\tnew"),
       "line 4: bad escape or control byte in a field"},
      {Sealed("rename\tr1\t/d\told\\x4\tnew"),
       "line 4: bad escape or control byte in a field"},
      {Sealed("rename\tr1\t/d\told\\xg1\tnew"),
       "line 4: bad escape or control byte in a field"},
      {Sealed("rename\tr1\t9\t/d\told\tnew\t1:2\tfolder"),
       "line 4: bad folder identity"},
      {Sealed("rename\tr1\t/d\tol\x01"
              "d\tnew"),
       "line 4: bad escape or control byte in a field"},
      {Sealed("rename\tr1\t/d\told\\\tnew"),
       "line 4: bad escape or control byte in a field"},
      {Sealed("rename\tr1\t/d\t\tnew"), "line 4: empty field"},
      {Sealed("rename\tr1\t\told\tnew"), "line 4: empty field"},
      {Sealed("run\t\t2026"), "line 4: empty field"},
      {Sealed("rename\tr0\t/d\told\tnew"), "line 4: rename outside its run"},
      {Sealed("undone\tr0"),
       "line 4: undone mark for a run not in the history"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    const std::string text = app::HistoryHeader() +
                             app::FormatRunStart("r1", "t") + rename + c.line +
                             app::FormatRename("r1", {"/d", "b", "c", false, {}, 1});
    const app::HistoryRead read = app::ReadHistory(text);
    EXPECT_EQ(read.problems, std::vector<std::string>{c.problem});
    ExpectRuns(read.runs,
               {{"r1", "t", false, {{"/d", "old", "new"}, {"/d", "b", "c"}}}});
  }
}

TEST(HistoryFormat, FirstLineAndLineEnds) {
  const std::string body = app::FormatRunStart("r1", "t") +
                           app::FormatRename("r1", {"/d", "a\r", "b"});
  std::string crlf;
  for (char c : app::HistoryHeader() + body) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  struct Case {
    std::string text;
    bool known;
    std::size_t runs;
    std::vector<std::string> problems;
  } cases[] = {
      {"", false, 0, {}},
      {app::HistoryHeader(), true, 0, {}},
      {"namewisp history 1", true, 0, {}},
      {crlf, true, 1, {}},
      {app::HistoryHeader() + "\n\n" + body + "\n", true, 1, {}},
      {"namewisp history 4\n" + body,
       false,
       0,
       {"line 1: written in a newer format than this namewisp reads"}},
      {"old.avi -> new.avi\n" + body,
       false,
       0,
       {"line 1: not a namewisp history"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    const app::HistoryRead read = app::ReadHistory(c.text);
    EXPECT_EQ(read.known_format, c.known);
    EXPECT_EQ(read.runs.size(), c.runs);
    EXPECT_EQ(read.problems, c.problems);
    if (c.runs == 1) {
      ExpectRuns(read.runs, {{"r1", "t", false, {{"/d", "a\r", "b"}}}});
    }
  }
}

TEST(HistoryUndone, MarksTheLatestRunOfItsIdThatIsNotUndone) {
  // A run of one rename; a run of none has nothing to undo.
  const auto FormatRunStart = [](const std::string& id, const std::string& t) {
    return app::FormatRunStart(id, t) +
           app::FormatRename(id, {"/d", "a", "b"});
  };
  const auto FormatUndone = WholeRunUndone;
  struct Case {
    std::string body;
    const char* last_not_undone;  // its started time, or null for none
  } cases[] = {
      {"", nullptr},
      {FormatRunStart("a", "1"), "1"},
      {FormatRunStart("a", "1") + FormatRunStart("b", "2"), "2"},
      {FormatRunStart("a", "1") + FormatRunStart("b", "2") + FormatUndone("b"),
       "1"},
      {FormatRunStart("a", "1") + FormatRunStart("b", "2") + FormatUndone("a"),
       "2"},
      {FormatRunStart("a", "1") + FormatUndone("a") + FormatRunStart("b", "2") +
           FormatUndone("b"),
       nullptr},
      // A repeated id: each mark takes the latest of its runs still standing.
      {FormatRunStart("a", "1") + FormatRunStart("a", "2") + FormatUndone("a"),
       "1"},
      {FormatRunStart("a", "1") + FormatRunStart("a", "2") + FormatUndone("a") +
           FormatUndone("a"),
       nullptr},
      {FormatRunStart("a", "1") + FormatUndone("a") + FormatRunStart("a", "2"),
       "2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.body));
    const app::HistoryRead read =
        app::ReadHistory(app::HistoryHeader() + c.body);
    EXPECT_TRUE(read.problems.empty());
    const HistoryRun* run = nullptr;
    for (const HistoryRun& r : read.runs)
      if (!app::RunUndone(r)) run = &r;
    if (c.last_not_undone == nullptr) {
      EXPECT_EQ(run, nullptr);
    } else {
      ASSERT_NE(run, nullptr);
      EXPECT_EQ(run->started, c.last_not_undone);
    }
  }
}

}  // namespace

namespace {

TEST(HistoryMade, MarksNameTheRenamesThatWereMade) {
  std::string run = app::HistoryHeader() + app::FormatRunStart("x", "t");
  for (std::size_t n = 0; n < 4; ++n)
    run += app::FormatRename("x", {"/d", "a", "b", false, {}, n});
  struct Case {
    std::string marks;
    std::vector<bool> made;
    std::size_t problems;
  } cases[] = {
      {"", {false, false, false, false}, 0},
      {app::FormatMade("x", 1, 1), {false, true, false, false}, 0},
      {app::FormatMade("x", 0, 2) + app::FormatMade("x", 3, 3),
       {true, true, true, true}, 0},
      // Past the renames recorded (the last one's record may be damaged):
      // the recorded ones it names.  Another run's, or backwards: not
      // followed.
      {app::FormatMade("x", 2, 4), {false, false, true, true}, 0},
      {app::FormatMade("x", 4, 9), {false, false, false, false}, 1},
      {app::FormatMade("y", 0, 0), {false, false, false, false}, 1},
      {app::FormatMade("x", 3, 1), {false, false, false, false}, 1},
  };
  for (const Case& c : cases) {
    const app::HistoryRead read = app::ReadHistory(run + c.marks);
    ASSERT_EQ(read.runs.size(), 1u);
    std::vector<bool> made;
    for (const app::HistoryRename& rename : read.runs[0].renames)
      made.push_back(rename.made);
    EXPECT_EQ(made, c.made) << c.marks;
    EXPECT_EQ(read.problems.size(), c.problems) << c.marks;
  }
}

// The trim reads a journal's last bytes alone: only a sound whole-run mark
// as the very last record says the run is undone.
TEST(HistoryEndsUndone, OnlyASoundWholeRunMarkAtTheEnd) {
  const std::string run = app::HistoryHeader() + app::FormatRunStart("x", "t") +
                          app::FormatRename("x", {"/d", "a", "b"});
  std::string edited = app::FormatRunUndone("x");
  edited[edited.find('x')] = 'y';
  struct Case {
    std::string tail;
    bool undone;
  } cases[] = {
      {run, false},
      {run + app::FormatUndone("x", 0, 0), false},
      {run + app::FormatRunUndone("x"), true},
      {app::FormatRunUndone("x").substr(3), false},  // a cut first line
      {run + app::FormatRunUndone("x") + app::FormatEnd("x", 1), false},
      {run + edited, false},
      {run + app::FormatRunUndone("x").substr(0, 10), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::EndsUndone(c.tail), c.undone) << c.tail;
}

}  // namespace
