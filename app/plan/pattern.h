// The pattern language of operands, the same on every platform: "*" stands
// for any run of characters, "?" for exactly one character (a UTF-8
// sequence, or a byte that is none); other characters must be equal, ASCII
// letters compared case-blind.  A pattern ending in ".*" also matches the
// name without that ending, so "*.*" matches every name, also one without a
// period, and "readme.*" matches "readme".
#pragma once

#include <string_view>

namespace app {

bool WildcardMatch(std::string_view pattern, std::string_view name);

// True when pattern holds "*" or "?".
bool HasWildcard(std::string_view pattern);

}  // namespace app
