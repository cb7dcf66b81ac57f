// "--help", "--version" and "--dry-run": whole words of the command tail,
// cut out before the "/" options are looked for.  A word after "--" is never
// taken as one, and "--" itself goes.
#pragma once

#include <string>
#include <string_view>

namespace app {

struct LongOptions {
  bool help = false;
  bool version = false;
  bool dry_run = false;
  std::string rest;  // the tail without the long options
};

LongOptions CutLongOptions(std::string_view tail);

}  // namespace app
