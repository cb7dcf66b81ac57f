// Trimming the ends of 8-bit text.  Membership is by byte value; only 0x20
// counts as a space.
#pragma once

#include <string_view>

namespace text {

std::string_view TrimSetLeft(std::string_view text, std::string_view set);
std::string_view TrimSetRight(std::string_view text, std::string_view set);
// Left trim, then right trim.
std::string_view TrimSet(std::string_view text, std::string_view set);

std::string_view TrimSpaceLeft(std::string_view text);
std::string_view TrimSpaceRight(std::string_view text);
std::string_view TrimSpaces(std::string_view text);

}  // namespace text
