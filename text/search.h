// Positions in 8-bit text are 1-based; 0 means "not found", and every
// operation here accepts 0 where it takes a position, so a search result can
// be handed straight on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// The count that asks Substring for everything from the start on.
inline constexpr std::size_t kToEnd = 2147483647;

// First occurrence of pattern at or after start.  An empty text gives 0, an
// empty pattern gives start.
std::size_t Find(std::string_view text, std::string_view pattern,
                 std::size_t start = 1);
// First byte of the rightmost occurrence of pattern, or 0.
std::size_t FindFromEnd(std::string_view text, std::string_view pattern);
// At most count bytes beginning at start; empty when start is 0 or past the
// end.
std::string_view Substring(std::string_view text, std::size_t start,
                           std::size_t count = kToEnd);
// The last n bytes (the whole text when n reaches its length).
std::string_view RightPart(std::string_view text, std::size_t n);

}  // namespace text
