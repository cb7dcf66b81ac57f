// What the command line asks of the run; set once, read by the rename run.
#pragma once

namespace app {

// Which entries the run takes.
enum class Selection {
  kFiles,                // the default
  kFilesAndDirectories,  // "/d"
  kDirectories,          // "/D"
};

struct RunOptions {
  bool confirm_all = false;    // "/c"
  bool from_lower = false;     // "/ml", "/m"
  bool from_upper = false;     // "/mu", "/m"
  bool year_rule = false;      // "/y", "/yc"
  bool confirm_year = false;   // "/yc"
  bool episode_rule = false;   // "/e", "/ec"
  bool confirm_episode = false;  // "/ec"
  bool term_rule = false;      // "/k", "/kc"
  bool confirm_terms = false;  // "/kc"
  bool dry_run = false;        // "--dry-run": everything but the renames
  bool keep_history = true;    // off with "--no-history"
  bool recursive = false;      // "/s", "--recursive": every folder below too
  Selection selection = Selection::kFiles;
};

}  // namespace app
