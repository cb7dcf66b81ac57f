// What the user asks for, read from the command line: the help, the
// version, or a run over the operands with its options.
#pragma once

#include <string>
#include <vector>

#include "app/run_options.h"

namespace app {

struct Request {
  bool help = false;
  bool version = false;
  bool undo = false;  // "--undo"
  std::string undo_id;  // "--undo ID": that run rather than the latest
  bool history = false;  // "--history"
  // The options as typed, for the history's record of the run.
  std::string option_words;
  // The dash options given (Linux): none may also be the name of an entry,
  // or a file named like one would have been taken for it.
  std::vector<std::string> dash_words;
  bool dry_run = false;  // "--dry-run": everything but the renames
  // "--terms FILE": the user's terms from FILE instead of the usual place.
  std::string terms_file;
  RunOptions options;
  // The file patterns, one after another.  From a Windows command tail
  // there is exactly one, possibly empty.
  std::vector<std::string> operands;
  // Not empty when the command line is wrong: said on standard error, and
  // the program ends with exit code 2.
  std::string usage_error;
};

}  // namespace app
