// New names the run never hands to the system, on any platform.
#pragma once

#include <string_view>

namespace app {

// The words of the refusal, or nullptr when the name may be tried.  A name
// with "/" or NUL would reach outside the folder or be cut short.  ("?" and
// "*" are the system's to refuse: Windows cannot hold them, POSIX can.)
const char* RefusalOf(std::string_view new_name);
// The refusal of either name of a rename, the new one's first.
const char* RefusalOf(std::string_view old_name, std::string_view new_name);

}  // namespace app
