// The command tail: the shell has already split the command line, so the
// arguments after the program's name are joined again by single spaces
// ("namewisp /y 'My Movie.avi'" gives "/y My Movie.avi").
#include "platform/posix/command_tail.h"

#include "platform/platform.h"
#include "platform/posix/process_state.h"

namespace platform {
namespace posix {

std::string JoinArguments(int argc, const char* const* argv) {
  std::string tail;
  for (int i = 1; i < argc && argv && argv[i]; ++i) {
    if (i > 1) tail.push_back(' ');
    tail.append(argv[i]);
  }
  return tail;
}

}  // namespace posix

// A POSIX shell expands "*.avi" into the matching names unless it is quoted.
bool ShellExpandsPatterns() { return true; }

std::u16string CommandTail() {
  const posix::Arguments& args = posix::ProgramArguments();
  return ToWide(posix::JoinArguments(args.argc, args.argv));
}

}  // namespace platform
