// Splitting 8-bit text into fields.
//
// With a delimiter, fields lie between non-overlapping occurrences of it, left
// to right; adjacent delimiters give empty fields and nothing is trimmed.
//
// With an empty delimiter (comma mode) fields are separated by commas: each
// field's leading spaces are skipped, a field that then begins with a double
// quote runs to the closing quote (commas inside do not split it, and what
// follows the closing quote up to the comma is dropped), and any other field
// loses its trailing spaces.
#pragma once

#include <cstddef>
#include <string_view>

namespace text {

// Number of fields, at least 1.
std::size_t FieldCount(std::string_view text, std::string_view delimiter);
// Field n (1-based), or "" when n is 0 or past the last field.
std::string_view FieldAt(std::string_view text, std::string_view delimiter,
                         std::size_t n);

}  // namespace text
