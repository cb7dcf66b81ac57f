// Reads a list of arguments, as a POSIX shell passes them.  An argument is
// an option when it is made of option tokens only ("/y", "/YC", "/y/k"), or
// a long option; every other argument is a file operand, used as it is: no
// token is ever cut out of an operand.  "--" ends the options.
#pragma once

#include <string>
#include <vector>

#include "app/request.h"

namespace app {

Request ParseArguments(const std::vector<std::string>& arguments);

}  // namespace app
