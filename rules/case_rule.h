// "/m", "/ml", "/mu": a stem written all in upper case or all in lower case
// becomes mixed case ("THE BIG MOVIE" -> "The Big Movie").  A stem that already
// mixes cases is left alone.
#pragma once

#include <string>

#include "text/case.h"

namespace rules {

std::string ApplyCaseRule(std::string stem, bool from_upper, bool from_lower,
                          const text::CaseMapping& letter_case);

}  // namespace rules
