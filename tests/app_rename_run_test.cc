#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <vector>

#include "app/rename_run.h"

namespace {

// A listing, a console and a file system made of plain data.
struct FakeSystem {
  std::vector<std::string> names;
  std::string directory;
  std::size_t next = 0;
  std::string listed_spec;
  int listed_code = -1;
  std::string out;  // what was printed, line ends as "\r\n"
  int width = 80;
  std::deque<std::u16string> keys;
  int keys_asked = 0;
  std::vector<std::string> renames;        // "dir|old>new"
  std::map<std::string, std::string> fail;  // old name -> reason

  int Column() const {
    std::size_t line_start = out.rfind('\n');
    line_start = line_start == std::string::npos ? 0 : line_start + 1;
    return static_cast<int>(out.size() - line_start) + 1;
  }

  app::RunServices Services() {
    app::RunServices s;
    s.list_first = [this](std::string_view spec, int code) {
      listed_spec = spec;
      listed_code = code;
      next = 0;
      return s_next();
    };
    s.list_next = [this] { return s_next(); };
    s.list_directory = [this] { return directory; };
    s.rename = [this](std::string_view dir, std::string_view from,
                      std::string_view to, std::string& reason) {
      auto failure = fail.find(std::string(from));
      if (failure != fail.end()) {
        reason = failure->second;
        return false;
      }
      renames.push_back(std::string(dir) + "|" + std::string(from) + ">" +
                        std::string(to));
      return true;
    };
    s.print = [this](std::string_view text) { out += text; };
    s.print_line_end = [this] { out += "\r\n"; };
    s.cursor_column = [this] { return Column(); };
    s.screen_width = [this] { return width; };
    s.display_columns = [](std::string_view text) {
      return static_cast<int>(text.size());
    };
    s.wait_key = [this] {
      ++keys_asked;
      if (keys.empty()) return std::u16string(u"\0", 1);
      std::u16string key = keys.front();
      keys.pop_front();
      return key;
    };
    return s;
  }
  std::string s_next() { return next < names.size() ? names[next++] : ""; }
};

int RunWith(FakeSystem& fake, const app::RunOptions& options,
        std::string_view spec = "*", int highest_year = 2020) {
  app::RunServices services = fake.Services();
  return app::RunRename(options, spec, highest_year, services);
}

TEST(RenameRun, NoMatch) {
  FakeSystem fake;
  EXPECT_EQ(RunWith(fake, {}, ""), 0);
  EXPECT_EQ(fake.out, "Error: No matches to \"\"\r\n\r\n");
  fake.out.clear();
  EXPECT_EQ(RunWith(fake, {}, "*.avi"), 0);
  EXPECT_EQ(fake.out, "Error: No matches to \"*.avi\"\r\n\r\n");
}

TEST(RenameRun, AttributeCodeBySelectionMode) {
  for (auto [mode, code] : {std::pair{0, 0x80}, {1, 0x10}, {2, 0x90}}) {
    FakeSystem fake;
    app::RunOptions options;
    options.selection_mode = mode;
    RunWith(fake, options);
    EXPECT_EQ(fake.listed_code, code);
  }
}

TEST(RenameRun, PrintsAndRenamesChangedNamesOnly) {
  FakeSystem fake;
  fake.directory = "sub/";
  fake.names = {"Clean Name.avi", ".avi", "Some.Movie.2010.XviD.avi", "README"};
  app::RunOptions options;
  options.year_rule = true;
  EXPECT_EQ(RunWith(fake, options, "sub/*"), 0);
  EXPECT_EQ(fake.out,
            "Some.Movie.2010.XviD.avi ==> Some Movie (2010).avi\r\n"
            "Done\r\n\r\n");
  ASSERT_EQ(fake.renames.size(), 1u);
  EXPECT_EQ(fake.renames[0], "sub/|Some.Movie.2010.XviD.avi>Some Movie (2010).avi");
  EXPECT_EQ(fake.listed_spec, "sub/*");
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
    fake.names = {c.name};
    fake.keys = {u"y"};
    app::RunOptions o;
    o.confirm_all = c.c;
    o.year_rule = o.confirm_year = c.yc;
    o.term_rule = o.confirm_terms = c.kc;
    if (!c.yc && c.name[2] == '2') o.year_rule = true;
    if (!c.kc && c.name[2] == 'x') o.term_rule = true;
    RunWith(fake, o);
    EXPECT_EQ(fake.keys_asked, c.asks ? 1 : 0) << c.name;
    EXPECT_EQ(fake.renames.size(), 1u) << c.name;
    EXPECT_EQ(fake.out.rfind("[y/N] ", 0) == 0, c.asks) << c.name;
  }
}

TEST(RenameRun, AnswerKeys) {
  struct Case {
    std::u16string key;
    bool yes;
  } cases[] = {
      {u"y", true},       {u"Y", true},          {u"n", false},
      {u"\r", false},     {u"\x1b", false},      {u"\x03", false},
      {u" ", false},      {std::u16string(u"\0H", 2), false},
      {std::u16string(u"\0", 1), false},         {u"yy", false},
  };
  for (const Case& c : cases) {
    FakeSystem fake;
    fake.names = {"a.b.txt"};
    fake.keys = {c.key};
    app::RunOptions o;
    o.confirm_all = true;
    EXPECT_EQ(RunWith(fake, o), 0);
    std::string want = std::string("[y/N] a.b.txt ==> a b.txt ") +
                       (c.yes ? "[OK]" : "[SKIPPED]") + "\r\nDone\r\n\r\n";
    EXPECT_EQ(fake.out, want);
    EXPECT_EQ(fake.renames.size(), c.yes ? 1u : 0u);
  }
}

TEST(RenameRun, WrapsANameThatWouldReachTheLastColumn) {
  // "a.b.txt ==> " ends in column 12; the cursor then stands in column 13 and
  // "a b.txt" needs 7 columns: it fits when the width is at least 20.
  for (auto [width, wraps] : {std::pair{20, false}, {19, true}}) {
    FakeSystem fake;
    fake.names = {"a.b.txt"};
    fake.width = width;
    RunWith(fake, {});
    EXPECT_EQ(fake.out, std::string("a.b.txt ==> ") +
                            (wraps ? "\r\n  " : "") + "a b.txt\r\nDone\r\n\r\n");
  }
  // With a confirmation the prefix is 6 columns longer and the indent seven.
  for (auto [width, wraps] : {std::pair{26, false}, {25, true}}) {
    FakeSystem fake;
    fake.names = {"a.b.txt"};
    fake.width = width;
    fake.keys = {u"n"};
    app::RunOptions o;
    o.confirm_all = true;
    RunWith(fake, o);
    EXPECT_EQ(fake.out, std::string("[y/N] a.b.txt ==> ") +
                            (wraps ? "\r\n       " : "") +
                            "a b.txt [SKIPPED]\r\nDone\r\n\r\n");
  }
}

TEST(RenameRun, FailedRenamesAreReportedAndSetTheExitCode) {
  FakeSystem fake;
  fake.names = {"a.b.txt", "c.d.txt", "e.f.txt"};
  fake.fail = {{"a.b.txt", "a file with that name exists"},
               {"e.f.txt", "permission denied"}};
  fake.keys = {u"y"};
  app::RunOptions o;
  EXPECT_EQ(RunWith(fake, o), 1);
  EXPECT_EQ(fake.out,
            "a.b.txt ==> a b.txt\r\n  [FAILED: a file with that name exists]\r\n"
            "c.d.txt ==> c d.txt\r\n"
            "e.f.txt ==> e f.txt\r\n  [FAILED: permission denied]\r\n"
            "Done\r\n\r\n");
  EXPECT_EQ(fake.renames.size(), 1u);

  FakeSystem confirmed;
  confirmed.names = {"a.b.txt"};
  confirmed.fail = {{"a.b.txt", "not found"}};
  confirmed.keys = {u"Y"};
  o.confirm_all = true;
  EXPECT_EQ(RunWith(confirmed, o), 1);
  EXPECT_EQ(confirmed.out,
            "[y/N] a.b.txt ==> a b.txt [FAILED: not found]\r\nDone\r\n\r\n");
}

TEST(RenameRun, NoKeyboardSkipsEveryConfirmation) {
  FakeSystem fake;
  fake.names = {"a.b.c", "c.d.e"};
  app::RunOptions o;
  o.confirm_all = true;
  EXPECT_EQ(RunWith(fake, o), 0);
  EXPECT_EQ(fake.keys_asked, 2);
  EXPECT_TRUE(fake.renames.empty());
}

TEST(RenameRun, YearBoundIsTheOneInForce) {
  FakeSystem fake;
  fake.names = {"Movie.2024.1080p.mkv"};
  app::RunOptions o;
  o.year_rule = true;
  RunWith(fake, o, "*", 2020);
  EXPECT_EQ(fake.renames[0], "|Movie.2024.1080p.mkv>Movie 2024 1080p.mkv");
  FakeSystem later;
  later.names = {"Movie.2024.1080p.mkv"};
  RunWith(later, o, "*", 2027);
  EXPECT_EQ(later.renames[0], "|Movie.2024.1080p.mkv>Movie (2024).mkv");
}

TEST(RenameRun, DryRunPrintsTheSameAndRenamesNothing) {
  FakeSystem real, dry;
  real.names = dry.names = {"a.b.txt", "c.d.txt"};
  real.keys = dry.keys = {u"y", u"n"};
  app::RunOptions o;
  o.confirm_all = true;
  RunWith(real, o);
  o.dry_run = true;
  EXPECT_EQ(RunWith(dry, o), 0);
  EXPECT_TRUE(dry.renames.empty());
  EXPECT_EQ(dry.keys_asked, 2);
  std::string done = "Done\r\n\r\n";
  EXPECT_EQ(dry.out, real.out.substr(0, real.out.size() - done.size()) +
                         "Dry run: nothing was renamed.\r\n" + done);
}

TEST(RenameRun, QuotingHintWhenTheShellMayHaveExpandedThePattern) {
  struct Case {
    bool shell_expands;
    const char* spec;
    bool hint;
  } cases[] = {
      {true, "a.avi b.avi", true},
      {true, "*.avi", false},
      {false, "a.avi b.avi", false},
  };
  for (const Case& c : cases) {
    FakeSystem fake;
    app::RunServices services = fake.Services();
    services.shell_expands_patterns = c.shell_expands;
    app::RunRename({}, c.spec, 2020, services);
    std::string message = std::string("Error: No matches to \"") + c.spec +
                          "\"\r\n\r\n";
    EXPECT_EQ(fake.out.substr(0, message.size()), message);
    EXPECT_EQ(fake.out.size() > message.size(), c.hint) << fake.out;
    if (c.hint) {
      EXPECT_EQ(fake.out.substr(message.size()),
                "hint: quote the pattern so that the shell passes it on: "
                "namewisp /y \"*.avi\"\r\n");
    }
  }
}

}  // namespace

namespace {

// Where the platform tells the column without printing, each rename line is
// one write, made before its rename, and the output is the same byte for byte.
TEST(RenameRun, OneWritePerLineWhereTheColumnIsKnown) {
  struct Case {
    int width;
    bool confirm;
  } cases[] = {{80, false}, {20, false}, {19, false},
               {80, true},  {26, true},  {25, true}};
  for (const Case& c : cases) {
    FakeSystem asked, computed;
    for (FakeSystem* f : {&asked, &computed}) {
      f->names = {"a.b.txt", "c_d.txt", "clean.txt"};
      f->width = c.width;
      f->keys = {u"y", u"n"};
    }
    app::RunOptions o;
    o.confirm_all = c.confirm;
    RunWith(asked, o);

    app::RunServices s = computed.Services();
    std::vector<std::string> events;  // "print:..." and "rename:..."
    s.cursor_column_after = [&computed](std::string_view text) {
      return computed.Column() + static_cast<int>(text.size());
    };
    auto print = s.print;
    s.print = [&](std::string_view text) {
      events.push_back("print:" + std::string(text));
      print(text);
    };
    auto rename = s.rename;
    s.rename = [&](std::string_view dir, std::string_view from,
                   std::string_view to, std::string& reason) {
      events.push_back("rename:" + std::string(from));
      return rename(dir, from, to, reason);
    };
    app::RunRename(o, "*", 2020, s);

    EXPECT_EQ(computed.out, asked.out) << c.width << c.confirm;
    EXPECT_EQ(computed.renames, asked.renames);
    const bool wraps = c.width == 19 || c.width == 25;
    const std::string first =
        std::string(c.confirm ? "print:[y/N] a.b.txt ==> " : "print:a.b.txt ==> ") +
        (wraps ? (c.confirm ? "\r\n       " : "\r\n  ") : "") +
        (c.confirm ? "a b.txt " : "a b.txt\r\n");
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0], first);
    EXPECT_EQ(events[1], "rename:a.b.txt");
    EXPECT_EQ(events[2].substr(0, 18),
              c.confirm ? "print:[OK]\r\n" : "print:c_d.txt ==> ");
  }
}

}  // namespace
