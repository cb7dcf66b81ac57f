#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/help_text.h"
#include "app/long_options.h"

namespace {

TEST(HelpRequest, EmptyTailOrSlashHOrQuestionMark) {
  struct Case {
    std::u16string tail;
    bool help;
  } cases[] = {
      {u"", true},          {u"/h", true},       {u"/H", true},
      {u"x /h", true},      {u"/?", true},       {u"c:/home/*.avi", true},
      {u"/c *.avi", false}, {u" ", false},       {u"h /", false},
      {u"\u0130/x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::IsHelpRequest(c.tail), c.help);
  }
}

TEST(ParseOptions, FlagsAndSpec) {
  struct Case {
    const char* tail;
    const char* spec;
    // c, ml, mu, y, yc, k, kc, mode
    bool c, from_lower, from_upper, y, yc, k, kc;
    int mode;
  } cases[] = {
      {"/m /c *.avi", "*.avi", true, true, true, false, false, false, false, 0},
      {"/ML x", "x", false, true, false, false, false, false, false, 0},
      {"/mu x", "x", false, false, true, false, false, false, false, 0},
      {"/yc x", "x", false, false, false, true, true, false, false, 0},
      {"/y x", "x", false, false, false, true, false, false, false, 0},
      {"/kc x", "x", false, false, false, false, false, true, true, 0},
      {"/K x", "x", false, false, false, false, false, true, false, 0},
      {"/d /D x*", "x*", false, false, false, false, false, false, false, 2},
      {"/d x*", "x*", false, false, false, false, false, false, false, 1},
      {"\"My Movie.avi\"", "My Movie.avi", false, false, false, false, false,
       false, false, 0},
      {"/c", "", true, false, false, false, false, false, false, 0},
      {"/yc/k *", "*", false, false, false, true, true, true, false, 0},
      // Detected case-blind, cut only as all-lower or all-upper tokens.
      {"/Ml x", "l x", false, true, true, false, false, false, false, 0},
      // An option inside a path is taken as the option.
      {"films/clips*.avi", "filmslips*.avi", true, false, false, false, false,
       false, false, 0},
      {"/x *.avi", "/x *.avi", false, false, false, false, false, false, false,
       0},
      {"x\"y\" \" ", "x\"y", false, false, false, false, false, false, false,
       0},
  };
  for (const auto& c : cases) {
    app::ParsedTail p = app::ParseOptions(c.tail);
    SCOPED_TRACE(c.tail);
    EXPECT_EQ(p.file_spec, c.spec);
    EXPECT_EQ(p.options.confirm_all, c.c);
    EXPECT_EQ(p.options.from_lower, c.from_lower);
    EXPECT_EQ(p.options.from_upper, c.from_upper);
    EXPECT_EQ(p.options.year_rule, c.y);
    EXPECT_EQ(p.options.confirm_year, c.yc);
    EXPECT_EQ(p.options.term_rule, c.k);
    EXPECT_EQ(p.options.confirm_terms, c.kc);
    EXPECT_EQ(p.options.selection_mode, c.mode);
  }
}

TEST(HelpText, FourteenLinesWithTheYearBoundsThenTheLongOptions) {
  std::vector<std::string> lines = app::HelpLines(2020);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[13], "filespec can be a literal filename or wildcards");
  EXPECT_EQ(lines[14].rfind("--help ", 0), 0u);
  EXPECT_EQ(lines[15].rfind("--version ", 0), 0u);
  EXPECT_EQ(lines[16].rfind("--dry-run ", 0), 0u);
  EXPECT_EQ(lines[0],
            "namewisp - remove periods from filenames (but preserve extension)");
  EXPECT_EQ(lines[6],
            " toss everything after that -- ie. \"blah 2010 xxx\"=>\"blah "
            "(2010)\".");
  EXPECT_EQ(lines[7],
            " (valid years are between 1920 and 2020; all others are ignored).");
  EXPECT_EQ(lines[10],
            "include /k (or /kc to confirm) to kill common terms like \"Xvid\"");
  EXPECT_EQ(app::HelpLines(2027)[7],
            " (valid years are between 1920 and 2027; all others are ignored).");
}

TEST(LongOptions, WholeWordsBeforeDoubleDash) {
  struct Case {
    std::u16string tail, rest;
    bool help, version, dry_run;
  } cases[] = {
      {u"--help", u"", true, false, false},
      {u"--version", u"", false, true, false},
      {u"--dry-run /y *.avi", u"/y *.avi", false, false, true},
      {u"/y --dry-run *.avi", u"/y *.avi", false, false, true},
      {u"/y *.avi --dry-run", u"/y *.avi", false, false, true},
      {u"/y/k --dry-run --help x", u"/y/k x", true, false, true},
      {u"x--dry-run", u"x--dry-run", false, false, false},
      {u"--dry-runs", u"--dry-runs", false, false, false},
      {u"-- --dry-run", u"--dry-run", false, false, false},
      {u"--dry-run -- --help", u"--help", false, false, true},
      {u"a  --help  b", u"a   b", true, false, false},
      {u"--DRY-RUN", u"--DRY-RUN", false, false, false},
  };
  for (const Case& c : cases) {
    app::LongOptions found = app::CutLongOptions(c.tail);
    EXPECT_EQ(found.rest, c.rest);
    EXPECT_EQ(found.help, c.help);
    EXPECT_EQ(found.version, c.version);
    EXPECT_EQ(found.dry_run, c.dry_run);
  }
}

}  // namespace
