// The start and end of the process.
#include <stdlib.h>

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

}  // namespace

const Arguments& ProgramArguments() { return arguments; }

void KeepArguments(int argc, const char* const* argv) {
  arguments.argc = argc;
  arguments.argv = argv;
}

}  // namespace posix

FileSystem& SystemFileSystem() {
  static posix::PosixFileSystem files;
  return files;
}

Console& SystemConsole() {
  static posix::PosixConsole console;
  return console;
}

PathStyle SystemPathStyle() { return PathStyle::kPosix; }

void StartProgram(int argc, char** argv) {
  posix::InstallSignalHandlers();
  posix::KeepArguments(argc, argv);
  posix::ChooseScreen();
  posix::OpenKeyboard();
}

void EndProgram(int exit_code) {
  posix::FlushOutput();
  posix::CloseUserFiles();
  posix::RestoreTerminal();
  exit(exit_code);
}

}  // namespace platform
