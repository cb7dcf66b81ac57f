// The program's own logic, from the command line to the exit code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "text/case.h"

namespace app {

// What the program is given of the system it runs on.
struct System {
  platform::FileSystem& files;
  platform::UserFiles& user_files;  // the history's and the terms'
  platform::Console& console;
  platform::Interrupts& interrupts;
  platform::PathStyle path_style = platform::PathStyle::kPosix;
  // The case of letters beyond ASCII.
  const text::CaseMapping* letter_case = &text::AsciiOnlyMapping();
  int current_year = 2026;
  std::string start_time;  // UTC, for the undo history
  long process = 0;        // the number no other running process has
  std::uint32_t random = 0;  // bits of chance, for the run's id
  // Where each reading of a name is counted, when set (rules::NameRules).
  std::size_t* name_readings = nullptr;
};

struct Request;  // app/request.h

// Prints the help or the version, or runs the renames; returns the exit
// code (2 for a wrong command line).
int RunProgram(const platform::CommandLine& command_line, System& system);
// The renames or the undo that a well-formed request asks for.
int RunRequest(const Request& request, System& system);

// This year by the system clock.
int CurrentYear();

}  // namespace app
