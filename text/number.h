// Numbers read from and written as 8-bit text.
#pragma once

#include <string>
#include <string_view>

namespace text {

// The value of the number the text begins with, 0 when it begins with none.
// Leading space, tab, CR and LF are skipped.  Decimal numbers take an optional
// sign, one decimal point and an exponent introduced by E, e, D or d (its
// magnitude capped at 9999); "&H", "&O"/"&Q", "&B" and "&" + digit read hex,
// octal, binary and octal.  Only the first 18 significant digits count; later
// ones only scale the value.
long double NumericValue(std::string_view text);

// Decimal digits, with "-" in front of a negative number; no blank around.
std::string NumberToText(long long value);

}  // namespace text
