// The long options: whole words of the command tail, cut out before the "/"
// options are looked for.  "--terms" takes the word after it as its file.
// A word after "--" is never taken as one, and "--" itself goes.  Double
// quotes group a word with the spaces inside them, and a quoted word is
// never an option; the file's quotes are dropped.
#pragma once

#include <string>
#include <string_view>

namespace app {

struct LongOptions {
  bool help = false;
  bool version = false;
  bool dry_run = false;
  bool undo = false;
  bool history = false;  // "--history": list the kept runs
  bool no_history = false;
  bool recursive = false;
  bool terms_given = false;
  std::string terms_file;
  std::string rest;  // the tail without the long options
};

LongOptions CutLongOptions(std::string_view tail);

// Sets the flag of a long option that takes no value; false for a word that
// is none ("--terms" included).
bool SetLongOption(std::string_view word, LongOptions& found);

}  // namespace app
