// Numbers written as 8-bit text.
#pragma once

#include <string>

namespace text {

// Decimal digits, with "-" in front of a negative number; no blank around.
std::string NumberToText(long long value);

}  // namespace text
