#include "text/number.h"

namespace text {

std::string NumberToText(long long value) { return std::to_string(value); }

}  // namespace text
