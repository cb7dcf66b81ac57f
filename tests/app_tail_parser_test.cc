#include <gtest/gtest.h>

#include "app/command_line/option_table.h"
#include "app/command_line/tail_parser.h"
#include "app/command_line/argument_parser.h"
#include "app/command_line/help_text.h"
#include "app/command_line/long_options.h"

namespace {

TEST(HelpRequest, EmptyTailOrSlashHOrQuestionMark) {
  struct Case {
    std::string tail;
    bool help;
  } cases[] = {
      {"", true},          {"/h", true},       {"/H", true},
      {"x /h", true},      {"/?", true},       {"c:/home/*.avi", true},
      {"/c *.avi", false}, {" ", false},       {"h /", false},
      {"\u0130/x", false}, {"/", false},
      // Nothing inside double quotes is an option.
      {"\"C:/Users/Hana/*.mkv\"", false}, {"\"x\" /h", true},
      {"\"a /?", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::IsHelpRequest(c.tail), c.help);
  }
}

TEST(ParseOptions, FlagsAndPattern) {
  struct Case {
    const char* tail;
    const char* pattern;
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
      {"x\"y\" \" ", "xy", false, false, false, false, false, false, false,
       0},
      {"\"C:/Docs/Eddy/Kim *.mkv\" /y", "C:/Docs/Eddy/Kim *.mkv", false, false,
       false, true, false, false, false, 0},
      {"C:/\"M y\"/c*", "C:/M y*", true, false, false, false, false, false,
       false, 0},
      // Each token is cut in one pass: what the cut joins stays.
      {"//cc *.avi", "/c *.avi", true, false, false, false, false, false,
       false, 0},
      {"//DD x*", "/D x*", false, false, false, false, false, false, false, 2},
      {"/ U//Mm ", "/ U/m", false, true, true, false, false, false, false, 0},
  };
  for (const auto& c : cases) {
    app::ParsedTail p = app::ParseOptions(c.tail);
    SCOPED_TRACE(c.tail);
    EXPECT_EQ(p.file_pattern, c.pattern);
    EXPECT_EQ(p.options.confirm_all, c.c);
    EXPECT_EQ(p.options.rules.from_lower, c.from_lower);
    EXPECT_EQ(p.options.rules.from_upper, c.from_upper);
    EXPECT_EQ(p.options.rules.year_rule, c.y);
    EXPECT_EQ(p.options.confirm_year, c.yc);
    EXPECT_EQ(p.options.rules.term_rule, c.k);
    EXPECT_EQ(p.options.confirm_terms, c.kc);
    EXPECT_EQ(static_cast<int>(p.options.selection), c.mode);
  }
}

TEST(HelpText, NamesTheYearBoundsInForceAndTheOperandsTaken) {
  for (bool arguments : {false, true}) {
    std::vector<std::string> lines = app::HelpLines(2027, arguments);
    ASSERT_GE(lines.size(), 17u);
    EXPECT_EQ(lines[7],
              " (valid years are between 1920 and 2027; all others are ignored).");
    EXPECT_EQ(lines[2].ends_with(arguments ? "filespec..." : "] filespec"), true);
    // The usage line is made from the option tables: it shows them all.
    for (const app::OptionToken& token : app::kOptionTokens)
      EXPECT_NE(lines[2].find(token.lower.substr(0, 2)), std::string::npos)
          << token.lower;
    for (std::string_view word : {"--terms FILE", "--dry-run", "--no-history"})
      EXPECT_NE(lines[2].find(word), std::string::npos) << word;
  }
}

TEST(ParseTail, HelpVersionOrOneOperand) {
  EXPECT_TRUE(app::ParseTail("").help);
  EXPECT_TRUE(app::ParseTail("--version --help").version);
  EXPECT_TRUE(app::ParseTail("x --help").help);
  const app::Request r = app::ParseTail("/c --dry-run");
  EXPECT_TRUE(r.dry_run && r.options.confirm_all);
  EXPECT_EQ(r.operands, std::vector<std::string>{""});
}

TEST(ParseTail, UndoAndHistoryTakeNoRenameOptions) {
  struct Case {
    const char* tail;
    bool error;
  } cases[] = {
      {"--undo", false},     {"--undo 20261209T140203Z-42", false},
      {"--undo /y", true},   {"/k --undo", true},
      {"--history", false},  {"--history /s", true},
      {"--undo --dry-run", false},  {"--undo --history", true},
  };
  for (const Case& c : cases) {
    const app::Request r = app::ParseTail(c.tail);
    EXPECT_EQ(!r.usage_error.empty(), c.error) << c.tail;
  }
}

TEST(LongOptions, WholeWordsBeforeDoubleDash) {
  struct Case {
    std::string tail, rest;
    bool help, version, dry_run;
  } cases[] = {
      {"--help", "", true, false, false},
      {"--version", "", false, true, false},
      {"--dry-run /y *.avi", "/y *.avi", false, false, true},
      {"/y --dry-run *.avi", "/y *.avi", false, false, true},
      {"/y *.avi --dry-run", "/y *.avi", false, false, true},
      {"/y/k --dry-run --help x", "/y/k x", true, false, true},
      {"x--dry-run", "x--dry-run", false, false, false},
      {"--dry-runs", "--dry-runs", false, false, false},
      {"-- --dry-run", "--dry-run", false, false, false},
      {"--dry-run -- --help", "--help", false, false, true},
      {"a  --help  b", "a   b", true, false, false},
      {"--DRY-RUN", "--DRY-RUN", false, false, false},
  };
  for (const Case& c : cases) {
    app::LongOptions found = app::CutLongOptions(c.tail);
    EXPECT_EQ(found.rest, c.rest);
    EXPECT_EQ(found.help, c.help);
    EXPECT_EQ(found.version, c.version);
    EXPECT_EQ(found.dry_run, c.dry_run);
  }
}

TEST(LongOptions, DoubleQuotesGroupAWord) {
  struct Case {
    std::string tail, rest, terms_file;
    bool dry_run;
  } cases[] = {
      {"/k --terms \"my terms.txt\" *.avi", "/k *.avi", "my terms.txt", false},
      {"--terms C:\\\"First Last\"\\t.txt x", "x", "C:\\First Last\\t.txt",
       false},
      {"\"--dry-run\" x", "\"--dry-run\" x", "", false},
      {"\"a --dry-run\" --dry-run", "\"a --dry-run\"", "", true},
      {"\"open --dry-run", "\"open --dry-run", "", false},
  };
  for (const Case& c : cases) {
    const app::LongOptions found = app::CutLongOptions(c.tail);
    EXPECT_EQ(found.rest, c.rest) << c.tail;
    EXPECT_EQ(found.terms_file, c.terms_file) << c.tail;
    EXPECT_EQ(found.dry_run, c.dry_run) << c.tail;
  }
}

// The run is recorded with its library, as the history and undo show it.
TEST(ParseTail, LibraryFoldersTakeTheNextWord) {
  struct Case {
    std::string tail, into, movies, pattern, error, words;
  } cases[] = {
      {"--into \"D:\\My Media\" *", "D:\\My Media", "", "*", "",
       "--into D:\\My Media"},
      {"/y --movies E:\\Films --recursive *.mkv", "", "E:\\Films", "*.mkv", "",
       "/y --recursive --movies E:\\Films"},
      {"*.mkv --into", "", "", "", "namewisp: --into needs a folder", ""},
      {"--undo --into x", "", "", "", "namewisp: --undo takes no rename options",
       ""},
      {"--link-only --into L *", "L", "", "*", "", "--into L --link-only"},
      {"--link-only *", "", "", "",
       "namewisp: --link, --copy and --link-only go with --into, --movies or "
       "--shows",
       ""},
      {"--copy --link --into L *", "", "", "",
       "namewisp: --link, --copy and --link-only go one at a time", ""},
  };
  for (const Case& c : cases) {
    const app::Request r = app::ParseTail(c.tail);
    EXPECT_EQ(r.usage_error, c.error) << c.tail;
    if (!c.error.empty()) continue;
    EXPECT_EQ(r.options.into, c.into) << c.tail;
    EXPECT_EQ(r.options.movies, c.movies) << c.tail;
    EXPECT_EQ(r.option_words, c.words) << c.tail;
    EXPECT_TRUE(r.options.rules.video_rule) << c.tail;
    ASSERT_EQ(r.operands.size(), 1u);
    EXPECT_EQ(r.operands[0].substr(r.operands[0].find_first_not_of(' ')),
              c.pattern) << c.tail;
  }
}

// Both parsers read every long option alike: each is cut from the tail, none
// is unknown to the argument list, a run is recorded with the same words
// whichever read it, and "--undo" refuses those.
TEST(LongOptions, BothParsersReadEveryOptionAlike) {
  for (const app::LongOption& option : app::kLongOptions) {
    const std::string word(option.word);
    std::vector<std::string> arguments = {word};
    if (option.value) arguments.push_back("V");
    std::string tail = option.value ? word + " V" : word;
    EXPECT_EQ(app::CutLongOptions(tail + " x").rest, "x") << word;
    arguments.push_back("x");
    const app::Request a = app::ParseArguments(arguments);
    const app::Request t = app::ParseTail(tail + " x");
    EXPECT_EQ(a.usage_error.find("unknown"), std::string::npos) << word;
    EXPECT_EQ(a.option_words, t.option_words) << word;
    EXPECT_EQ(a.option_words.empty(), !option.rename_only) << word;
    if (!option.rename_only) continue;
    arguments.back() = "--undo";
    EXPECT_NE(app::ParseArguments(arguments).usage_error, "") << word;
    EXPECT_NE(app::ParseTail(tail + " --undo").usage_error, "") << word;
  }
}

}  // namespace
