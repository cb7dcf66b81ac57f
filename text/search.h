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
// empty pattern gives start.  The same rules serve 8-bit and UTF-16 text.
template <class Char>
std::size_t FindIn(std::basic_string_view<Char> text,
                   std::basic_string_view<Char> pattern, std::size_t start) {
  if (text.empty()) return 0;
  if (start == 0) start = 1;
  if (pattern.empty()) return start;
  if (start > text.size()) return 0;
  std::size_t at = text.find(pattern, start - 1);
  return at == std::basic_string_view<Char>::npos ? 0 : at + 1;
}

inline std::size_t Find(std::string_view text, std::string_view pattern,
                        std::size_t start = 1) {
  return FindIn(text, pattern, start);
}
// First byte of the rightmost occurrence of pattern, or 0.
std::size_t FindFromEnd(std::string_view text, std::string_view pattern);
// At most count bytes beginning at start; empty when start is 0 or past the
// end.
std::string_view Substring(std::string_view text, std::size_t start,
                           std::size_t count = kToEnd);
// The last n bytes (the whole text when n reaches its length).
std::string_view RightPart(std::string_view text, std::size_t n);

}  // namespace text
