// The program's own logic, from the command line to the exit code.
#pragma once

#include "app/run_services.h"
#include "platform/platform.h"

namespace app {

// Prints the help or the version, or runs the renames; returns the exit
// code (2 for a wrong command line).
int RunProgram(const platform::CommandLine& command_line, int current_year,
               RunServices& services);

// This year by the system clock.
int CurrentYear();

}  // namespace app
