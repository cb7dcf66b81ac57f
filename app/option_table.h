// The "/" options, in the order the command tail is searched for them.  A
// longer token comes before its prefix ("/ml" before "/m"), so that a
// search in table order finds the longer one first.
#pragma once

#include <string_view>

#include "app/run_options.h"

namespace app {

struct OptionToken {
  std::string_view lower, upper;
  bool case_blind;  // all but "/d" and "/D"
  void (*set)(RunOptions&);
};

extern const OptionToken kOptionTokens[15];

}  // namespace app
