// The spaces of a working stem: none at either end and never two together,
// as every rule leaves them.
#pragma once

#include <string>
#include <string_view>

namespace rules {

bool IsTidy(std::string_view stem);
// Trims the spaces at both ends and collapses runs of them, in place.
void Tidy(std::string& stem);

}  // namespace rules
