// Letter case of UTF-8 text.  Every form keeps the length of the text, so a
// position found in a form is the same position in the text.
//
// ASCII letters map by themselves.  Any other letter maps by a case mapping
// of single code points that the caller hands in (each platform has its
// own): where the mapping is one-to-one and keeps the letter's length in
// bytes; everything else, invalid bytes included, stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace text {

// The case of single code points beyond ASCII.
struct CaseMapping {
  char32_t (*lower)(char32_t);
  char32_t (*upper)(char32_t);
  // True for a letter that has case (it ends a word for MixedForm).
  bool (*is_cased)(char32_t);
};

// A mapping in which no letter beyond ASCII has case.
const CaseMapping& AsciiOnlyMapping();

// ASCII letters in lower case, every other byte as it is: the form in which
// the program's own tokens and terms, all ASCII, are found case-blind.
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiLowerForm(std::string_view text);

// True for a combining mark of the scripts with letter case (the accent of
// "e" + U+0301): it belongs to the character before it.
bool IsCombiningMark(char32_t c);

// Each word's first case letter in upper case, the other case letters in
// lower case.  Every non-letter (digit, apostrophe, space, ...) starts a
// new word: "o'brien" gives "O'Brien", "mp3s" gives "Mp3S"; a combining
// mark belongs to the character before it and starts none.
std::string MixedForm(std::string_view text, const CaseMapping& mapping);
// Whether the text is its own upper (lower) case form: no letter in it that
// the mapping would change, one-to-one and keeping its length, to the other
// case.
bool IsUpperForm(std::string_view text, const CaseMapping& mapping);
bool IsLowerForm(std::string_view text, const CaseMapping& mapping);

}  // namespace text
