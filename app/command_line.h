// Turns the command tail into the run's options and its file spec.
//
// Options are found anywhere in the tail, even inside other text, and cut out
// of it; what is left, trimmed of spaces and double quotes, is the file spec.
#pragma once

#include <string>
#include <string_view>

#include "app/run_options.h"

namespace app {

// True when the tail is empty or holds "/h" (either case) or "/?" anywhere.
bool IsHelpRequest(std::u16string_view tail);

struct ParsedTail {
  RunOptions options;
  std::string file_spec;
};

ParsedTail ParseOptions(std::string_view tail);

}  // namespace app
