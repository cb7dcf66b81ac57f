// Letter case of 8-bit text.  Every form keeps the length of the text, so a
// position found in the lower-case form is the same position in the text.
//
// Two encodings exist and the build picks one for the whole program:
//  - bytes: fixed tables (ASCII letters and seven code page 437 pairs), for
//    Windows, whose names arrive in the ANSI code page;
//  - utf8: for POSIX, where names are the file system's UTF-8 bytes.  ASCII
//    maps as in the tables; a valid UTF-8 letter maps when its simple case
//    mapping is one-to-one and keeps the byte length; everything else,
//    invalid bytes included, stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace text {

std::string LowerForm(std::string_view text);
std::string UpperForm(std::string_view text);
// Each word's first case letter in upper case, the other case letters in
// lower case.  Every non-letter (digit, apostrophe, space, ...) starts a
// new word: "o'brien" gives "O'Brien", "mp3s" gives "Mp3S".
std::string MixedForm(std::string_view text);
// text == UpperForm(text), text == LowerForm(text), without forming them.
bool IsUpperForm(std::string_view text);
bool IsLowerForm(std::string_view text);

namespace bytes_case {
std::string Lower(std::string_view text);
std::string Upper(std::string_view text);
std::string Mixed(std::string_view text);
bool IsUpper(std::string_view text);
bool IsLower(std::string_view text);
bool IsLetter(unsigned char c);
}  // namespace bytes_case

namespace utf8_case {
std::string Lower(std::string_view text);
std::string Upper(std::string_view text);
std::string Mixed(std::string_view text);
bool IsUpper(std::string_view text);
bool IsLower(std::string_view text);
}  // namespace utf8_case

}  // namespace text
