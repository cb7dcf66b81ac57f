// What namewisp asks of the operating system, in the program's own words:
// the start and end of the process, the command line, and the two sides the
// program works through, the file system, the user files and the console.  One
// implementation per platform (posix/ and windows/); nothing above this
// folder includes a system header, and nothing below it decides what the
// program does.
#pragma once

#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/interrupts.h"
#include "platform/user_files.h"

namespace platform {

// Prepares the console and the signals.
void StartProgram(int argc, char** argv);
// Writes what is still held, restores what StartProgram changed and ends the
// process.
[[noreturn]] void EndProgram(int exit_code);

// The command line as the system hands it over.  Windows gives one text
// after the program's name, which the program reads by its tail rules; a
// POSIX shell has already split it into a list of arguments.
struct CommandLine {
  bool is_tail = false;
  std::string tail;                    // is_tail: the text after the name
  std::vector<std::string> arguments;  // else: the arguments after the name
  // False when the system's text held what UTF-8 cannot write (a lone
  // UTF-16 surrogate on Windows): the text then stands for another one.
  bool exact = true;
};
CommandLine ReadCommandLine();

// How the system writes paths: what separates folders, and what an
// operand's folder part may look like.
enum class PathStyle {
  kPosix,    // "/" alone; a trailing "/" names the folder itself
  kWindows,  // "\" or "/", and a drive "D:"; a trailing one lists the folder
};
PathStyle SystemPathStyle();

// The system's file system, user files, console and interrupts.
FileSystem& SystemFileSystem();
UserFiles& SystemUserFiles();
Console& SystemConsole();
Interrupts& SystemInterrupts();

// The system's own description of an error number, or "".
std::string DescribeError(int code);

// The time now, UTC, as "2026-12-08T23:30:00Z".
std::string UtcNow();
// A number that no other running process has.
long ProcessNumber();

}  // namespace platform
