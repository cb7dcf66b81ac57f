// How a run or an undo ended, for the program to close its output and
// choose the exit code.
#pragma once

namespace app {

struct RunEnd {
  bool done = false;    // it went through its entries: "Done" closes it
  bool failed = false;  // something was not renamed (exit code 1)
};

}  // namespace app
