// How a run or an undo ended, for the program to close its output and
// choose the exit code.
#pragma once

#include <cstddef>

namespace app {

// What a run did, for the line before its end.
struct RunCounts {
  std::size_t renamed = 0;
  std::size_t moved = 0;  // into a library
  std::size_t linked = 0, copied = 0;  // into a library, the file staying
  std::size_t already = 0;  // there already: a second run's, unsaid
  std::size_t failed = 0;
  std::size_t skipped = 0;     // answered no, or after a quit
  std::size_t left_alone = 0;  // left alone by design, with the words why
};

struct RunEnd {
  bool done = false;    // it went through its entries: "Done" closes it
  bool failed = false;  // something was not renamed (exit code 1)
};

}  // namespace app
