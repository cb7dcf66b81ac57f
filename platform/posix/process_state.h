// What StartProgram keeps for later calls.  Internal to the POSIX layer.
#pragma once

namespace platform::posix {

struct Arguments {
  int argc = 0;
  const char* const* argv = nullptr;
};

// The argument vector given to StartProgram (empty before it).
const Arguments& ProgramArguments();
void KeepArguments(int argc, const char* const* argv);

}  // namespace platform::posix
