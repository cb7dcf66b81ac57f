// The start and end of the process.
#include <errno.h>
#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/console_state.h"
#include "platform/posix/interrupts.h"
#include "platform/posix/file_system.h"
#include "platform/posix/process_state.h"
#include "platform/posix/terminal_state.h"

namespace platform {
namespace posix {
namespace {

Arguments arguments;

// A run frees hundreds of thousands of small blocks as it ends (its plan,
// the library's folders); glibc's fast bins then sweep themselves again and
// again as the freed memory merges, a tenth of a run into a library.
// Without them each small block is kept or merged as it is freed.
void TuneAllocator() {
#if defined(__GLIBC__)
  mallopt(M_MXFAST, 0);
#endif
}

}  // namespace

const Arguments& ProgramArguments() { return arguments; }

void KeepArguments(int argc, const char* const* argv) {
  arguments.argc = argc;
  arguments.argv = argv;
}

// A standard descriptor that is closed points at /dev/null, so that no file
// the program opens (its history, say) takes its number and its output.
void OpenClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

}  // namespace posix

FileSystem& SystemFileSystem() {
  static posix::PosixFileSystem files;
  return files;
}

UserFiles& SystemUserFiles() {
  static posix::PosixUserFiles files;
  return files;
}

Console& SystemConsole() {
  static posix::PosixConsole console;
  return console;
}

Interrupts& SystemInterrupts() {
  static posix::PosixInterrupts interrupts;
  return interrupts;
}

PathStyle SystemPathStyle() { return PathStyle::kPosix; }

void StartProgram(int argc, char** argv) {
  posix::TuneAllocator();
  posix::OpenClosedStandardDescriptors();
  posix::InstallSignalHandlers();
  posix::KeepArguments(argc, argv);
  posix::ChooseScreen();
  posix::OpenKeyboard();
}

void EndProgram(int exit_code) {
  posix::FlushOutput();
  if (const int error = posix::OutputError()) {
    const std::string line = std::string("namewisp: cannot write to standard "
                                         "output: ") + strerror(error) + "\n";
    const ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
    if (exit_code == 0) exit_code = 1;
  }
  posix::RestoreTerminal();
  exit(exit_code);
}

}  // namespace platform
