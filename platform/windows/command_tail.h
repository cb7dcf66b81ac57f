// Where the command tail begins in the UTF-16 command line.  Internal to the
// Windows layer; pure, so that the rules can be tested without a process.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::windows {

// The index in line (without its terminating NUL) at which the tail begins:
// line.size() for an empty tail.
std::size_t TailPosition(std::u16string_view line);

}  // namespace platform::windows
