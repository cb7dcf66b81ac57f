// Display width of text and of the cursor's travel.  Internal to the POSIX
// layer.
#pragma once

#include <string_view>

namespace platform::posix {

// Columns that one code point takes, by utf8proc's tables: 0 for combining
// marks and other zero-width characters, 2 for wide (East Asian, emoji) ones,
// else 1.  A control character counts 1.
int CodePointColumns(char32_t c);

// Where the cursor stands, counted in columns from the last line end, after
// the text is printed from column `column` (0-based count of columns).  CR
// and LF go back to 0; a tab goes to the next multiple of 8.  On a terminal
// `width` columns wide (0: unknown) a wide character that would straddle the
// last column goes to the next line, as the terminal moves it, and the column
// it skips counts.
long AdvanceColumn(long column, std::string_view text, long width = 0);

}  // namespace platform::posix
