// The command tail from the argument vector.  Internal to the POSIX layer.
#pragma once

#include <string>

namespace platform::posix {

// The arguments after argv[0] joined by single spaces: the bytes of the tail.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace platform::posix
