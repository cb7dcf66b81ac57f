// Reads a Windows command tail: one text in which options are found
// anywhere outside double quotes, even inside other text, and cut out; what
// is left, without its double quotes and trimmed of spaces, is the file
// pattern.
#pragma once

#include <string>
#include <string_view>

#include "app/request.h"
#include "app/run_options.h"

namespace app {

// True when the tail is empty or holds "/h" (either case) or "/?" anywhere
// outside double quotes.
bool IsHelpRequest(std::string_view tail);

struct ParsedTail {
  RunOptions options;
  std::string file_pattern;
  std::string option_words;  // the options found, in the table's order
};

// The "/" options and the file pattern of a tail without long options.
ParsedTail ParseOptions(std::string_view tail);

// The whole tail: long options, the help test, then the "/" options.
Request ParseTail(std::string_view tail);

}  // namespace app
