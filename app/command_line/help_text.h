// The help that namewisp prints for no arguments, "/h" or "/?".
#pragma once

#include <string>
#include <vector>

namespace app {

// The lines of the help, without line ends; the year line names the bounds in
// force.  With arguments (not one command tail), the usage line shows that
// several file patterns are taken.
std::vector<std::string> HelpLines(int highest_year, bool arguments);

}  // namespace app
