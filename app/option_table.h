// The options of the command line, in one place.  The "/" options, in the order the command tail is searched for them.  A
// longer token comes before its prefix ("/ml" before "/m"), so that a
// search in table order finds the longer one first.
#pragma once

#include <string>
#include <string_view>

#include "app/long_options.h"
#include "app/run_options.h"

namespace app {

struct OptionToken {
  std::string_view lower, upper;
  bool case_blind;  // all but "/d" and "/D"
  void (*set)(RunOptions&);
  // As the usage line shows it, with the tokens of its kind ("[/y[c]]"),
  // or "" when another row shows it.
  std::string_view usage;
};

extern const OptionToken kOptionTokens[15];

// The long options, whole words of the command line, which both parsers
// read.
struct LongOption {
  std::string_view word;
  bool LongOptions::*flag;  // null for those that take a file or folder
  std::string_view usage;   // as the usage line of a run shows it, or ""
  std::string LongOptions::*folder = nullptr;  // the folder it takes
};

extern const LongOption kLongOptions[11];

// "[/c] [/m[u|l]] ... [--terms FILE] [--dry-run] [--no-history]": every
// option of a rename run, in the tables' order.
std::string UsageOptions();

}  // namespace app
