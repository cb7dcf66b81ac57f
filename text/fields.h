// The comma-separated fields of 8-bit text, as the term table is written.
// Each field's leading spaces are skipped; a field that then begins with a
// double quote runs to the closing quote (commas inside do not split it, and
// what follows the closing quote up to the comma is dropped), and any other
// field loses its trailing spaces.
#pragma once

#include <string_view>
#include <vector>

namespace text {

// The fields in order, at least one; each lies inside text.
std::vector<std::string_view> CommaFields(std::string_view text);

}  // namespace text
