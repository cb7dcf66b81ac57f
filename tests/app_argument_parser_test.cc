#include <gtest/gtest.h>

#include "app/command_line/argument_parser.h"

namespace {

// The options found, as the letters of the flags set: c l u y Y k K, then
// the selection 0, 1 or 2 and "n" for a dry run.
std::string Flags(const app::Request& r) {
  const app::RunOptions& o = r.options;
  std::string f;
  if (o.confirm_all) f += 'c';
  if (o.rules.from_lower) f += 'l';
  if (o.rules.from_upper) f += 'u';
  if (o.rules.year_rule) f += 'y';
  if (o.confirm_year) f += 'Y';
  if (o.rules.term_rule) f += 'k';
  if (o.confirm_terms) f += 'K';
  if (o.rules.episode_rule) f += 'e';
  if (o.confirm_episode) f += 'E';
  if (o.recursive) f += 's';
  f += std::to_string(static_cast<int>(o.selection));
  if (r.dry_run) f += 'n';
  return f;
}

TEST(ParseArguments, OptionsAreWholeArgumentsAndOperandsStayWhole) {
  struct Case {
    std::vector<std::string> arguments;
    std::string flags;
    std::vector<std::string> operands;
  } cases[] = {
      // Paths full of option tokens are operands, byte for byte.
      {{"/y", "new_downloads/d*"}, "y0", {"new_downloads/d*"}},
      {{"/y", "/home/me/Downloads/*"}, "y0", {"/home/me/Downloads/*"}},
      {{"/mnt/media/*"}, "0", {"/mnt/media/*"}},
      {{"sub/incoming/Her*", "/k"}, "k0", {"sub/incoming/Her*"}},
      {{"/c/x"}, "0", {"/c/x"}},
      // Glued tokens, any case but "/d" and "/D"; the longer token first.
      {{"/y/k", "a"}, "yk0", {"a"}},
      {{"/YC", "/Ml", "a"}, "lyY0", {"a"}},
      {{"/mu", "/kc", "a"}, "ukK0", {"a"}},
      {{"/M", "a"}, "lu0", {"a"}},
      {{"/d", "a"}, "1", {"a"}},
      {{"/EC", "/s", "a"}, "eEs0", {"a"}},
      {{"/y/e", "--recursive", "a"}, "yes0", {"a"}},
      {{"/D", "/d", "a"}, "2", {"a"}},
      {{"/d/D", "a"}, "2", {"a"}},
      {{"/dD", "a"}, "0", {"/dD", "a"}},
      {{"/y/x", "a"}, "0", {"/y/x", "a"}},
      // "--" ends the options; the shell's list of names stays in order.
      {{"/y", "--", "/k", "--dry-run", "-x"}, "y0", {"/k", "--dry-run", "-x"}},
      {{"--dry-run", "b.avi", "a.avi"}, "0n", {"b.avi", "a.avi"}},
      {{"-n", "a"}, "0n", {"a"}},
  };
  for (const Case& c : cases) {
    const app::Request r = app::ParseArguments(c.arguments);
    SCOPED_TRACE(c.arguments[0]);
    EXPECT_EQ(r.usage_error, "");
    EXPECT_FALSE(r.help || r.version);
    EXPECT_EQ(Flags(r), c.flags);
    EXPECT_EQ(r.operands, c.operands);
  }
}

TEST(ParseArguments, HelpVersionAndUsageErrors) {
  struct Case {
    std::vector<std::string> arguments;
    bool help, version;
    std::string error;  // the start of the message, or ""
  } cases[] = {
      {{}, true, false, ""},
      {{"/h"}, true, false, ""},
      {{"/?", "x"}, true, false, ""},
      {{"--help"}, true, false, ""},
      {{"-h"}, true, false, ""},
      {{"--version"}, false, true, ""},
      {{"x/home/y"}, false, false, ""},  // "/h" inside an operand is no help
      {{"-x", "a"}, false, false, "namewisp: unknown option \"-x\""},
      {{"--dry", "a"}, false, false, "namewisp: unknown option \"--dry\""},
      {{"-", "a"}, false, false, "namewisp: unknown option \"-\""},
      {{"/y"}, false, false, "namewisp: no file pattern given"},
      {{"--dry-run"}, false, false, "namewisp: no file pattern given"},
      // An empty file is no file, as the command tail says too.
      {{"--terms=", "a"}, false, false, "namewisp: --terms needs a file"},
  };
  for (const Case& c : cases) {
    const app::Request r = app::ParseArguments(c.arguments);
    EXPECT_EQ(r.help, c.help);
    EXPECT_EQ(r.version, c.version);
    EXPECT_EQ(r.usage_error.substr(0, c.error.size()), c.error);
    EXPECT_EQ(r.usage_error.empty(), c.error.empty());
  }
}

// "--into" and its kin take the next argument or "=DIR", mean "/v", and are
// options of a rename run only.
TEST(ParseArguments, LibraryFolders) {
  struct Case {
    std::vector<std::string> arguments;
    std::string into, movies, shows;
    std::string error;  // the start of the message, or ""
  } cases[] = {
      {{"--into", "/srv/media", "*"}, "/srv/media", "", "", ""},
      {{"--into=My Library", "*"}, "My Library", "", "", ""},
      {{"--movies", "/films", "--shows=/tv", "*"}, "", "/films", "/tv", ""},
      {{"--shows", "tv", "*"}, "", "", "tv", ""},
      {{"*", "--into", "x"}, "", "", "", ""},  // after an operand: operands
      {{"--into"}, "", "", "", "namewisp: --into needs a folder"},
      {{"--movies=", "*"}, "", "", "", "namewisp: --movies needs a folder"},
      {{"--undo", "--into", "x"}, "x", "", "", "namewisp: --undo takes no"},
      {{"--link", "--into", "x", "*"}, "x", "", "", ""},
      {{"--copy", "*"}, "", "", "", "namewisp: --link, --copy and --link-only go with"},
      {{"--link", "--copy", "--into", "x", "*"}, "", "", "",
       "namewisp: --link, --copy and --link-only go one at a time"},
      {{"--undo", "--link"}, "", "", "", "namewisp: --undo takes no"},
      {{"--server=Jellyfin", "--into", "x", "*"}, "x", "", "", ""},
      {{"--server", "kodi", "--into", "x", "*"}, "", "", "",
       "namewisp: --server takes plex, jellyfin or emby"},
      {{"--into", "x", "--server"}, "", "", "", "namewisp: --server needs a name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    const app::Request r = app::ParseArguments(c.arguments);
    EXPECT_EQ(r.usage_error.substr(0, c.error.size()), c.error);
    EXPECT_EQ(r.usage_error.empty(), c.error.empty());
    if (!c.error.empty()) continue;
    EXPECT_EQ(r.options.into, c.into);
    EXPECT_EQ(r.options.movies, c.movies);
    EXPECT_EQ(r.options.shows, c.shows);
    EXPECT_EQ(r.options.rules.video_rule, r.options.IntoLibrary());
  }
}

}  // namespace
