// The program's own logic, from the command tail to the exit code.
#pragma once

#include <string_view>

#include "app/run_services.h"

namespace app {

// Prints the help or runs the renames; returns the exit code.
int RunProgram(std::u16string_view tail, int current_year,
               RunServices& services);

// This year by the system clock.
int CurrentYear();

}  // namespace app
