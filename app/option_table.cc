#include "app/option_table.h"

namespace app {

const OptionToken kOptionTokens[15] = {
    {"/c", "/C", true, [](RunOptions& o) { o.confirm_all = true; }},
    {"/ml", "/ML", true, [](RunOptions& o) { o.rules.from_lower = true; }},
    {"/mu", "/MU", true, [](RunOptions& o) { o.rules.from_upper = true; }},
    {"/m", "/M", true,
     [](RunOptions& o) { o.rules.from_lower = o.rules.from_upper = true; }},
    {"/yc", "/YC", true,
     [](RunOptions& o) { o.rules.year_rule = o.confirm_year = true; }},
    {"/y", "/Y", true, [](RunOptions& o) { o.rules.year_rule = true; }},
    {"/kc", "/KC", true,
     [](RunOptions& o) { o.rules.term_rule = o.confirm_terms = true; }},
    {"/k", "/K", true, [](RunOptions& o) { o.rules.term_rule = true; }},
    {"/ec", "/EC", true,
     [](RunOptions& o) { o.rules.episode_rule = o.confirm_episode = true; }},
    {"/e", "/E", true, [](RunOptions& o) { o.rules.episode_rule = true; }},
    {"/vc", "/VC", true,
     [](RunOptions& o) { o.rules.video_rule = o.confirm_video = true; }},
    {"/v", "/V", true, [](RunOptions& o) { o.rules.video_rule = true; }},
    // No other token holds an "e" or an "s": these change no meaning of
    // theirs.
    {"/s", "/S", true, [](RunOptions& o) { o.recursive = true; }},
    // "/D" wins when both are given, in any order.
    {"/d", "/d", false,
     [](RunOptions& o) {
       if (o.selection != Selection::kDirectories)
         o.selection = Selection::kFilesAndDirectories;
     }},
    {"/D", "/D", false,
     [](RunOptions& o) { o.selection = Selection::kDirectories; }},
};

}  // namespace app
