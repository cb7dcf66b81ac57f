// The built-in release terms that "/k" removes, in the order they are applied.
#pragma once

#include <array>
#include <string_view>

namespace rules {

inline constexpr std::size_t kTermCount = 77;

// Lower case, no space, no comma, none begins with a double quote.  A "_"
// stands for the space the cleanup leaves between words; a final "*" makes a
// prefix term that removes the whole word it begins.
extern const std::array<std::string_view, kTermCount> kTermRows;


}  // namespace rules
