#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/journal/history_format.h"

// Records written as plain lists of their fields.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using app::HistoryRename;
using app::HistoryRun;

// A rename numbered n, of the entry old_name of directory.
HistoryRename R(std::string directory, std::string old_name,
                std::string new_name, std::size_t n = 0) {
  HistoryRename r;
  r.directory = std::move(directory);
  r.old_name = std::move(old_name);
  r.new_name = std::move(new_name);
  r.number = n;
  return r;
}

// Its record, as a run writes it.
std::string FormatRename(std::string_view run_id, const HistoryRename& r) {
  return app::FormatRecord({.kind = app::RecordKind::kRename,
                            .run_id = run_id,
                            .number = r.number,
                            .directory = r.directory,
                            .old_name = r.old_name,
                            .new_name = r.new_name,
                            .id = r.id,
                            .folder_id = r.folder_id});
}

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
      text += FormatRename(run.id, r);
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
        c.name, c.name, false, {R("/dir/" + c.name, name, name + ".new")}};
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

// Every kind of record comes back from its line as it was written, whatever
// bytes its texts hold; and every kind has a case here.
TEST(HistoryFormat, EveryKindComesBackThroughTheTable) {
  using app::Record;
  using app::RecordKind;
  const std::string awkward = std::string("a\tb\nc\rd\\e\0f\x01\x7f", 14) +
                              "\xff\xc0\xaf caf\xc3\xa9 \xe6\x97";
  const std::string folder = "/" + awkward + "/";
  const std::string renamed = "x" + awkward;
  const platform::EntryId id{0xfd00, 0x1234567890abcdef, true};
  const platform::EntryId stamp{4096, 1733822400123456789, true, true};
  const Record cases[] = {
      {.kind = RecordKind::kRun,
       .run_id = awkward,
       .started = awkward,
       .folder = folder,
       .options = awkward},
      {.kind = RecordKind::kRun, .run_id = "r"},  // nothing more known
      {.kind = RecordKind::kRun, .run_id = "r", .sequence = 123456789012},
      {.kind = RecordKind::kRename,
       .run_id = awkward,
       .number = 7,
       .directory = folder,
       .old_name = awkward,
       .new_name = renamed,
       .id = id,
       .folder_id = stamp},
      {.kind = RecordKind::kRename,
       .run_id = "r",
       .directory = "C:\\d\\",
       .old_name = "a",
       .new_name = "b"},
      {.kind = RecordKind::kMove,
       .run_id = "r",
       .number = 1,
       .directory = folder,
       .old_name = awkward,
       .to_directory = "\\\\srv\\x\\",
       .new_name = awkward,
       .id = stamp,
       .folder_id = id,
       .to_folder_id = id},
      {.kind = RecordKind::kLink,
       .run_id = "r",
       .number = 6,
       .directory = "/d/",
       .old_name = "a",
       .to_directory = "/lib/",
       .new_name = "b",
       .id = id},
      {.kind = RecordKind::kCopy,
       .run_id = "r",
       .number = 7,
       .directory = "/d/",
       .old_name = "a",
       .to_directory = "/lib/",
       .new_name = awkward,
       .to_folder_id = stamp},
      {.kind = RecordKind::kFolder,
       .run_id = "r",
       .number = 2,
       .directory = "/lib/",
       .new_name = awkward,
       .folder_id = id},
      {.kind = RecordKind::kRemoved,
       .run_id = "r",
       .number = 3,
       .directory = folder,
       .new_name = awkward,
       .id = id,
       .folder_id = stamp,
       .mode = 040755},
      {.kind = RecordKind::kAcross, .run_id = "r", .number = 4},
      {.kind = RecordKind::kAcross, .run_id = "r", .number = 4, .back = true},
      {.kind = RecordKind::kCopied, .run_id = "r", .number = 5, .id = stamp},
      {.kind = RecordKind::kCopied,
       .run_id = "r",
       .number = 5,
       .id = id,
       .back = true},
      {.kind = RecordKind::kFacts,
       .run_id = "r",
       .number = 6,
       .facts = {true, 4294967295u, 0, 07777, -1, 1733822400123456789}},
      {.kind = RecordKind::kMade, .run_id = "r", .number = 0, .last = 0},
      {.kind = RecordKind::kMade, .run_id = "r", .number = 3, .last = 99999},
      {.kind = RecordKind::kUndone, .run_id = awkward, .number = 2, .last = 4},
      {.kind = RecordKind::kRunUndone, .run_id = awkward},
      {.kind = RecordKind::kEnd, .run_id = "r", .number = 12},
  };
  std::vector<bool> seen(static_cast<std::size_t>(RecordKind::kEnd) + 1);
  std::vector<std::string> texts;
  for (const Record& written : cases) {
    seen[static_cast<std::size_t>(written.kind)] = true;
    const std::string line = app::FormatRecord(written);
    SCOPED_TRACE(line);
    // One line, of valid UTF-8 and no control byte but its tabs.
    ASSERT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_EQ(std::count_if(line.begin(), line.end() - 1,
                            [](char c) {
                              return (c >= 0 && c < 0x20 && c != '\t') ||
                                     c == 0x7f;
                            }),
              0);
    Record read;
    EXPECT_EQ(app::ParseRecord(line.substr(0, line.size() - 1), read, texts),
              "");
    EXPECT_TRUE(read == written);
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), false), 0);
  // A batch appended open and sealed at once is its lines written one by
  // one, whatever their count (the checks are made four at a time), with
  // the lines sealed already (a run's marks) left as they are.
  for (std::size_t n = 0; n <= std::size(cases); ++n) {
    std::string one_by_one, batch;
    for (std::size_t i = 0; i < n; ++i) {
      one_by_one += app::FormatRecord(cases[i]);
      (i % 3 == 2 ? app::AppendRecord : app::AppendUnsealed)(batch, cases[i]);
    }
    app::SealRecords(batch);
    EXPECT_EQ(batch, one_by_one) << n;
  }
}

// A history describes as a list of its runs and steps, with what the
// later records said of each.
std::string Describe(const app::HistoryRead& read) {
  auto id = [](const platform::EntryId& i) {
    if (!i.known) return std::string("-");
    char text[48];
    std::snprintf(text, sizeof text, "%s%llx:%llx", i.by_name ? "=" : "",
                  static_cast<unsigned long long>(i.volume),
                  static_cast<unsigned long long>(i.index));
    return std::string(text);
  };
  static const char* const kKinds[] = {"rename", "move", "make", "remove"};
  std::string out = read.known_format ? "" : "unknown format\n";
  for (const HistoryRun& run : read.runs) {
    out += "run " + run.id + " " + run.started + " " + run.folder + " (" +
           run.options + ")" +
           (run.sequence ? " #" + std::to_string(run.sequence) : "") +
           (run.ended ? " ended" : "") +
           (run.undone ? " undone" : "") + "\n";
    for (const HistoryRename& r : run.renames) {
      out += std::to_string(r.number) + " " + kKinds[static_cast<int>(r.kind)] +
             " " + r.directory + r.old_name + " > " + r.NewDirectory() +
             r.new_name + " " + id(r.id) + " in " + id(r.folder_id);
      if (r.kind == app::StepKind::kMove) out += " to " + id(r.to_folder_id);
      if (r.mode != 0) out += " mode " + std::to_string(r.mode);
      if (r.across) out += " across";
      if (r.copied) out += " copied " + id(r.copy_id);
      if (r.back) out += " back";
      if (r.back_copied) out += " copied " + id(r.back_id);
      if (r.facts.known)
        out += " facts " + std::to_string(r.facts.owner) + ":" +
               std::to_string(r.facts.group) + ":" +
               std::to_string(r.facts.mode) + ":" +
               std::to_string(r.facts.modified);
      out += std::string(r.made ? " made" : "") + (r.undone ? " undone" : "");
      out += "\n";
    }
  }
  for (const std::string& problem : read.problems) out += problem + "\n";
  return out;
}

// Histories as earlier namewisps wrote them, and a journal of every kind of
// record as written before the records had one table: read alike.
TEST(HistoryFormat, EarlierFormatsAreRead) {
  struct Case {
    const char* what;
    const char* text;
    const char* read;
  } cases[] = {
      {"history 1: runs without folders, renames without numbers",
       "namewisp history 1\n"
       "run\tr-1\t2026-01-05T10:00:00Z\te09b26b9\n"
       "rename\tr-1\t/abs/\ta_1.avi\ta 1.avi\tad1c1aa8\n"
       "rename\tr-1\t/abs/\tb_2.avi\tb 2.avi\t40a729b4\n"
       "made\tr-1\t0-1\t88b51eba\n"
       "run\tr-2\t2026-01-05T10:01:00Z\ta6e95ffd\n"
       "rename\tr-2\t/abs/\tc_3.avi\tc 3.avi\t2d331c2d\n"
       "undone\tr-2\t0392e52a\n",
       "run r-1 2026-01-05T10:00:00Z  ()\n"
       "0 rename /abs/a_1.avi > /abs/a 1.avi - in - made\n"
       "1 rename /abs/b_2.avi > /abs/b 2.avi - in - made\n"
       "run r-2 2026-01-05T10:01:00Z  () undone\n"
       "0 rename /abs/c_3.avi > /abs/c 3.avi - in -\n"},
      {"history 2: renames without their folder's identity",
       "namewisp history 2\n"
       "run\tr-3\t2026-03-01T08:00:00Z\t/abs/\t/y /k *\t79a112b2\n"
       "rename\tr-3\t0\t/abs/\ta_1.avi\ta 1.avi\t1:a\t9bfa66dc\n"
       "rename\tr-3\t1\t/abs/\tb_2.avi\tb 2.avi\t-\t56042496\n"
       "made\tr-3\t0-1\t182c0f34\n"
       "undone\tr-3\t1\t789a8297\n"
       "end\tr-3\t2\t905476c2\n",
       "run r-3 2026-03-01T08:00:00Z /abs/ (/y /k *) ended\n"
       "0 rename /abs/a_1.avi > /abs/a 1.avi 1:a in - made\n"
       "1 rename /abs/b_2.avi > /abs/b 2.avi - in - made undone\n"},
      {"history 3: runs without their sequence",
       "namewisp history 3\n"
       "run\tr-5\t2026-12-10T09:00:00Z\t/abs/\t*\t368a039b\n"
       "rename\tr-5\t0\t/abs/\ta_1.avi\ta 1.avi\t1:a\t1:1\t2e43b449\n"
       "made\tr-5\t0\taed874d4\n",
       "run r-5 2026-12-10T09:00:00Z /abs/ (*)\n"
       "0 rename /abs/a_1.avi > /abs/a 1.avi 1:a in 1:1 made\n"},
      {"history 4: a journal of every kind",
       "namewisp history 4\n"
       "run\tr-4\t2026-12-10T09:30:00Z\t/abs/\t--into /abs/lib *\t7\tfa94baca\n"
       "rename\tr-4\t0\t/abs/\ta_1\\t\\n\\xff\\x01.avi\ta 1.avi\t1:14\t1:1\t"
       "aef2859b\n"
       "folder\tr-4\t1\t/abs/lib/\tMovies\t1:2\tea547ec0\n"
       "move\tr-4\t2\t/abs/\tFilm.2010.mkv\t/abs/lib/Movies/\tFilm (2010).mkv"
       "\t=3e8:1234567890\t1:1\t-\t8f8344fa\n"
       "across\tr-4\t2\tto\t57680235\n"
       "copied\tr-4\t2\tto\t2:15\td32976af\n"
       "removed\tr-4\t3\t/abs/\tFilm.2010\t755\t1:1\t1:16\tcac78b02\n"
       "made\tr-4\t0-3\tcb115c63\n"
       "end\tr-4\t4\t260a87ad\n"
       "across\tr-4\t2\tback\t6912af77\n"
       "copied\tr-4\t2\tback\t1:17\t97cd58f8\n"
       "undone\tr-4\t2-3\tf26eff5b\n"
       "undone\tr-4\t0\teb505c69\n"
       "undone\tr-4\tfd92dbb8\n",
       "run r-4 2026-12-10T09:30:00Z /abs/ (--into /abs/lib *) #7 ended "
       "undone\n"
       "0 rename /abs/a_1\t\n\xff\x01.avi > /abs/a 1.avi 1:14 in 1:1 made "
       "undone\n"
       "1 make /abs/lib/ > /abs/lib/Movies - in 1:2 made\n"
       "2 move /abs/Film.2010.mkv > /abs/lib/Movies/Film (2010).mkv "
       "=3e8:1234567890 in 1:1 to - across copied 2:15 back copied 1:17 made "
       "undone\n"
       "3 remove /abs/ > /abs/Film.2010 1:16 in 1:1 mode 493 made undone\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Describe(app::ReadHistory(c.text)), c.read);
  }
  // Today's records are written as they were, byte for byte.
  const std::string journal = cases[3].text;
  std::vector<std::string> texts;
  for (std::size_t at = journal.find('\n') + 1; at < journal.size();) {
    const std::size_t end = journal.find('\n', at) + 1;
    const std::string line = journal.substr(at, end - at);
    app::Record record;
    EXPECT_EQ(app::ParseRecord(line.substr(0, line.size() - 1), record, texts),
              "");
    EXPECT_EQ(app::FormatRecord(record), line);
    at = end;
  }
}

TEST(HistoryFormat, EveryCutReadsOnlyWholeRecordsAndReportsTheTornOne) {
  const std::vector<HistoryRun> written = {
      {"r1",
       "2026-01-02T03:04:05",
       true,
       {R("/d", "a\nb", "a b"), R("/d", "\xff\\", "x")}},
      {"r2",
       "",
       false,
       {R("C:\\films", "Some.Movie.2010.avi", "Some Movie (2010).avi")}},
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
  const std::string rename = FormatRename("r1", R("/d", "old", "new"));
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
      {Sealed("clone\tr1\t/d\told\tnew"), "line 4: unknown kind of record"},
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
      {Sealed("move\tr1\t5\t/d\ta\tlib/\tb\t-\t-\t-"),
       "line 4: a folder that is not absolute"},
      {Sealed("removed\tr1\t5\t/d\tx\t8\t-\t-"), "line 4: bad folder mode"},
      {Sealed("across\tr1\t0\tup"), "line 4: bad way of a copy"},
      {Sealed("copied\tr1\t0\tto\t-"), "line 4: bad entry identity"},
      {Sealed("across\tr1\t0\tto"), "line 4: copy of a move not recorded"},
      {Sealed("facts\tr1\t0\t0\t0\t644\t1\t2"),
       "line 4: facts of a step not recorded"},
      {Sealed("facts\tr1\t0\t-1\t0\t644\t1\t2"),
       "line 4: bad facts of an entry"},
      {Sealed("facts\tr1\t0\t0\t0\t9\t1\t2"), "line 4: bad facts of an entry"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    const std::string text = app::HistoryHeader() +
                             app::FormatRunStart("r1", "t") + rename + c.line +
                             FormatRename("r1", R("/d", "b", "c", 1));
    const app::HistoryRead read = app::ReadHistory(text);
    EXPECT_EQ(read.problems, std::vector<std::string>{c.problem});
    ExpectRuns(
        read.runs,
        {{"r1", "t", false, {R("/d", "old", "new"), R("/d", "b", "c")}}});
  }
}

TEST(HistoryFormat, FirstLineAndLineEnds) {
  const std::string body =
      app::FormatRunStart("r1", "t") + FormatRename("r1", R("/d", "a\r", "b"));
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
      {"namewisp history 5\n" + body,
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
      ExpectRuns(read.runs, {{"r1", "t", false, {R("/d", "a\r", "b")}}});
    }
  }
}

TEST(HistoryUndone, MarksTheLatestRunOfItsIdThatIsNotUndone) {
  // A run of one rename; a run of none has nothing to undo.
  const auto FormatRunStart = [](const std::string& id, const std::string& t) {
    return app::FormatRunStart(id, t) + FormatRename(id, R("/d", "a", "b"));
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
    run += FormatRename("x", R("/d", "a", "b", n));
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
                          FormatRename("x", R("/d", "a", "b"));
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
