// The simple case mapping of single Unicode code points, from utf8proc's
// tables of current Unicode.  Independent of any locale: a user's settings
// never change a name.
#pragma once

namespace text::unicode {

char32_t Lower(char32_t c);
char32_t Upper(char32_t c);
// True for a letter that has case: an upper-, lower- or title-case letter,
// or one with a case counterpart ("ß" counts).
bool IsCased(char32_t c);

}  // namespace text::unicode
