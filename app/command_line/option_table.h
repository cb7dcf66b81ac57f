// The options of the command line, in one place.  The "/" options, in the order the command tail is searched for them.  A
// longer token comes before its prefix ("/ml" before "/m"), so that a
// search in table order finds the longer one first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/command_line/long_options.h"
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

// The long options, whole words of the command line.  This table is the
// one place that says what each is: both parsers read it, a run is recorded
// with it, and the usage line and the help show it.  In the usage line's
// order, which the recorded words follow too.
struct LongOption {
  enum class Value { kNone, kFile, kFolder, kWord };
  std::string_view word;
  Value takes;
  bool LongOptions::*flag;            // set when given, if it takes nothing
  std::string LongOptions::*value;    // else the word after it ("=" too)
  // Only a rename run takes it: "--undo" and "--history" refuse it, and the
  // run is recorded with it (a folder with its word, a file's name not).
  bool rename_only;
  std::string_view usage;  // as the usage line shows it, or ""
  std::string_view help;   // its lines of the help, "\n" between them
  std::string_view alias = "";  // a shell's short form ("-n")
};

extern const LongOption kLongOptions[16];

// "[/c] [/m[u|l]] ... [--terms FILE] [--dry-run] [--no-history]": every
// option of a rename run, in the tables' order.
std::string UsageOptions();

// The long options' lines of the help: the library's first.
std::vector<std::string> LongOptionHelpLines();

}  // namespace app
