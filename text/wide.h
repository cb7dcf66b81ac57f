// The few operations on UTF-16 text: the help test looks for "/h" and "/?" in
// the command tail, and a confirmation compares the answer key with "y".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// As Find, on 16-bit code units.
std::size_t WideFind(std::u16string_view text, std::u16string_view pattern,
                     std::size_t start = 1);
// Each code unit lower-cased by the platform's Unicode rules; same length.
std::u16string WideLowerForm(std::u16string_view text);

}  // namespace text
