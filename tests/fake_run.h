// A command line run through the whole program on the fake side, as the
// tests' runs do: each its own start time ("2026-12-09T14:0<n>:00Z") and
// process number, the console's output of the run before cleared.
#pragma once

#include <string>
#include <vector>

#include "app/program.h"
#include "fake_system.h"

namespace fake {

inline int RunCommand(FileSystem& files, Console& console,
                      std::vector<std::string> arguments, int n, long process,
                      std::size_t* readings = nullptr) {
  platform::CommandLine command_line;
  command_line.arguments = std::move(arguments);
  app::System system{files,
                     files,
                     console,
                     files,
                     platform::PathStyle::kPosix,
                     &text::AsciiOnlyMapping(),
                     2026,
                     "2026-12-09T14:0" + std::to_string(n % 10) + ":00Z",
                     process,
                     0,
                     readings};
  console.out.clear();
  return app::RunProgram(command_line, system);
}

}  // namespace fake
