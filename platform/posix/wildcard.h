// Matching names against a file pattern, as pure functions that unit tests can
// drive.  Internal to the POSIX layer.
#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

struct OperandParts {
  std::string directory;  // up to and including the last "/"; "" = current
  std::string name;       // the last component: a name or a pattern
};

// Cuts an operand into the folder to open and the name or pattern in it.
// A trailing "/" names the folder itself, as the shell's completion writes
// it ("Movie.2010/" is the entry "Movie.2010"); "/" alone names nothing.
OperandParts SplitOperand(std::string_view operand);

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
