#include "app/command_line/option_table.h"

#include <algorithm>

namespace app {

const OptionToken kOptionTokens[15] = {
    {"/c", "/C", true, [](RunOptions& o) { o.confirm_all = true; }, "[/c]"},
    {"/ml", "/ML", true, [](RunOptions& o) { o.rules.from_lower = true; }, ""},
    {"/mu", "/MU", true, [](RunOptions& o) { o.rules.from_upper = true; }, ""},
    {"/m", "/M", true,
     [](RunOptions& o) { o.rules.from_lower = o.rules.from_upper = true; },
     "[/m[u|l]]"},
    {"/yc", "/YC", true,
     [](RunOptions& o) { o.rules.year_rule = o.confirm_year = true; }, ""},
    {"/y", "/Y", true, [](RunOptions& o) { o.rules.year_rule = true; },
     "[/y[c]]"},
    {"/kc", "/KC", true,
     [](RunOptions& o) { o.rules.term_rule = o.confirm_terms = true; }, ""},
    {"/k", "/K", true, [](RunOptions& o) { o.rules.term_rule = true; },
     "[/k[c]]"},
    {"/ec", "/EC", true,
     [](RunOptions& o) { o.rules.episode_rule = o.confirm_episode = true; },
     ""},
    {"/e", "/E", true, [](RunOptions& o) { o.rules.episode_rule = true; },
     "[/e[c]]"},
    {"/vc", "/VC", true,
     [](RunOptions& o) { o.rules.video_rule = o.confirm_video = true; }, ""},
    {"/v", "/V", true, [](RunOptions& o) { o.rules.video_rule = true; },
     "[/v[c]]"},
    // No other token holds an "e" or an "s": these change no meaning of
    // theirs.
    {"/s", "/S", true, [](RunOptions& o) { o.recursive = true; }, "[/s]"},
    // "/D" wins when both are given, in any order.
    {"/d", "/d", false,
     [](RunOptions& o) {
       if (o.selection != Selection::kDirectories)
         o.selection = Selection::kFilesAndDirectories;
     },
     ""},
    {"/D", "/D", false,
     [](RunOptions& o) { o.selection = Selection::kDirectories; },
     "[/d|/D]"},
};

using OptionValue = LongOption::Value;

const LongOption kLongOptions[16] = {
    {"--terms", OptionValue::kFile, nullptr, &LongOptions::terms_file, true,
     "[--terms FILE]",
     "--terms FILE removes the terms in FILE with /k too (one a line)"},
    {"--help", OptionValue::kNone, &LongOptions::help, nullptr, false, "",
     "--help shows this help", "-h"},
    {"--version", OptionValue::kNone, &LongOptions::version, nullptr, false, "",
     "--version shows the version of namewisp"},
    {"--dry-run", OptionValue::kNone, &LongOptions::dry_run, nullptr, false,
     "[--dry-run]", "--dry-run shows what would be renamed but renames nothing",
     "-n"},
    {"--recursive", OptionValue::kNone, &LongOptions::recursive, nullptr, true,
     "", "include /s (or --recursive) to do the same in every folder below"},
    {"--undo", OptionValue::kNone, &LongOptions::undo, nullptr, false, "",
     "--undo puts back the names of the last run not undone yet"},
    {"--history", OptionValue::kNone, &LongOptions::history, nullptr, false, "",
     "--history lists the runs --undo can take back (--undo ID takes one)"},
    {"--no-history", OptionValue::kNone, &LongOptions::no_history, nullptr,
     true, "[--no-history]",
     "--no-history renames without keeping the record that --undo reads"},
    // The help tells of the library first, its three folders in one place.
    {"--into", OptionValue::kFolder, nullptr, &LongOptions::into, true,
     "[--into LIBRARY]",
     "--into LIBRARY moves each video /v tidies (with its subtitles) into\n"
     " LIBRARY/Movies/Title (Year)/ or LIBRARY/TV/Show/Season 01/ (means /v)\n"
     " (--movies DIR and --shows DIR set either folder apart; --undo moves "
     "back)\n"
     " (a download folder named, or taken by /d or /D, is emptied and removed)\n"
     " (--link leaves the downloads as they are and files hard links, copies\n"
     "  where the library is on another disk; --copy files copies;\n"
     "  --link-only files links or leaves the file: a torrent keeps seeding)\n"
     " (--server plex|jellyfin|emby writes the ids a download carries, in\n"
     "  its names or its .nfo, and a film's edition, in that server's words)"},
    {"--movies", OptionValue::kFolder, nullptr, &LongOptions::movies, true,
     "[--movies DIR]", ""},
    {"--shows", OptionValue::kFolder, nullptr, &LongOptions::shows, true,
     "[--shows DIR]", ""},
    {"--link", OptionValue::kNone, &LongOptions::link, nullptr, true,
     "[--link|--copy|--link-only]", ""},
    {"--copy", OptionValue::kNone, &LongOptions::copy, nullptr, true, "", ""},
    {"--link-only", OptionValue::kNone, &LongOptions::link_only, nullptr, true,
     "", ""},
    {"--server", OptionValue::kWord, nullptr, &LongOptions::server, true,
     "[--server NAME]", ""},
    {"--ids", OptionValue::kNone, &LongOptions::ids, nullptr, true, "[--ids]",
     "--ids has /v write a film's id and edition as --server's library would"},
};

std::string UsageOptions() {
  std::string line;
  auto add = [&line](std::string_view usage) {
    if (usage.empty()) return;
    if (!line.empty()) line += ' ';
    line += usage;
  };
  for (const OptionToken& token : kOptionTokens) add(token.usage);
  for (const LongOption& option : kLongOptions) add(option.usage);
  return line;
}

std::vector<std::string> LongOptionHelpLines() {
  std::vector<std::string> lines;
  auto add = [&lines](const LongOption& option) {
    for (std::string_view rest = option.help; !rest.empty();) {
      const std::size_t end = std::min(rest.find('\n'), rest.size());
      lines.emplace_back(rest.substr(0, end));
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
  };
  for (const LongOption& option : kLongOptions)
    if (option.takes == LongOption::Value::kFolder) add(option);
  for (const LongOption& option : kLongOptions)
    if (option.takes != LongOption::Value::kFolder) add(option);
  return lines;
}

}  // namespace app
