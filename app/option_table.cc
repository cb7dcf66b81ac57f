#include "app/option_table.h"

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

const LongOption kLongOptions[11] = {
    {"--help", &LongOptions::help, ""},
    {"--version", &LongOptions::version, ""},
    {"--terms", nullptr, "[--terms FILE]"},
    {"--dry-run", &LongOptions::dry_run, "[--dry-run]"},
    {"--undo", &LongOptions::undo, ""},
    {"--history", &LongOptions::history, ""},
    {"--no-history", &LongOptions::no_history, "[--no-history]"},
    {"--recursive", &LongOptions::recursive, ""},  // as "/s"
    {"--into", nullptr, "[--into LIBRARY]", &LongOptions::into},
    {"--movies", nullptr, "[--movies DIR]", &LongOptions::movies},
    {"--shows", nullptr, "[--shows DIR]", &LongOptions::shows},
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

}  // namespace app
