// The command line: the shell has already split it into arguments.
#include "platform/platform.h"
#include "platform/posix/process_state.h"

namespace platform {

CommandLine ReadCommandLine() {
  CommandLine line;
  const posix::Arguments& args = posix::ProgramArguments();
  for (int i = 1; i < args.argc && args.argv && args.argv[i]; ++i)
    line.arguments.emplace_back(args.argv[i]);
  return line;
}

}  // namespace platform
