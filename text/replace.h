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
// Each byte of text found in from_set becomes the byte at the same index of
// to_set (the first index where it occurs in from_set).  Bytes of from_set
// without a partner in a shorter to_set are left alone.
std::string MapCharacterSet(std::string_view text, std::string_view from_set,
                            std::string_view to_set);
// Replaces every run of two or more spaces by one space: the fixed point of
// repeating ReplaceAll("  ", " ") while "  " is still found.
std::string CollapseSpaces(std::string_view text);

}  // namespace text
