// Whole-text rewrites.  Each is one left-to-right pass over the input: a match
// never overlaps the one before it and what was inserted is never scanned
// again, so replacing "  " by " " in four spaces leaves two.
#pragma once

#include <string>
#include <string_view>

namespace text {

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement);
std::string RemoveAll(std::string_view text, std::string_view pattern);

}  // namespace text
