// Matching names against a file spec, as pure functions that unit tests can
// drive.  Internal to the POSIX layer.
#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

struct SplitSpecResult {
  std::string directory;  // up to and including the last "/"; "" = current
  std::string pattern;    // the last component; "*" when the spec ends in "/"
};

// Cuts a file spec into the directory to open and the pattern to match.
SplitSpecResult SplitSpec(std::string_view spec);

// True when name matches pattern with the Windows wildcards: "*" stands for
// any run of characters, "?" for exactly one character (a UTF-8 sequence, or
// a byte that is none); other characters must be equal, ASCII letters
// compared case-blind.  A pattern ending in ".*" also matches the name
// without that ending, so "*.*" matches every name, also one without a
// period, and "readme.*" matches "readme".
bool WildcardMatch(std::string_view pattern, std::string_view name);

// True when pattern holds "*" or "?".
bool HasWildcard(std::string_view pattern);

}  // namespace platform::posix
