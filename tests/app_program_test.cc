#include <gtest/gtest.h>

#include "app/program.h"
#include "fake_system.h"

namespace {

// A command line the system could not hand over exactly (a lone surrogate
// on Windows) is refused before anything is listed: its pattern would stand
// for other names.
TEST(Program, ACommandLineThatCannotBeReadIsRefused) {
  for (bool exact : {true, false}) {
    fake::FileSystem files;
    files.folders[""] = fake::Files({"a_b.txt"});
    fake::Console console;
    app::System system{files, files, console, files,
                       platform::PathStyle::kWindows, &text::AsciiOnlyMapping(),
                       2026, "", 0};
    platform::CommandLine line;
    line.is_tail = true;
    line.tail = "--no-history *";
    line.exact = exact;
    EXPECT_EQ(app::RunProgram(line, system), exact ? 0 : 2);
    EXPECT_EQ(files.renames.size(), exact ? 1u : 0u);
    EXPECT_EQ(console.out.starts_with("stderr:namewisp: the command line"),
              !exact);
  }
}

}  // namespace
