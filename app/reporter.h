// How the run and undo show a rename: "old ==> new", the new name on a line
// of its own where it would reach the window's edge, and how it went.  Each
// line is printed before its rename, so that the output is the record of
// what was done.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/run_end.h"
#include "platform/console.h"

namespace app {

// The text as it may go to the terminal: there, a control byte, a control
// character of the range 0x80-0x9F and a byte that is not part of UTF-8 are
// shown escaped ("\n", "\t", "\033", "\x9b"), so that a name cannot move
// the cursor, set the window's title or forge a prompt.  Elsewhere (a pipe,
// a file) the text is kept byte for byte.
std::string ForScreen(platform::Console& console, std::string_view text);
// The text as a terminal is shown it, escaped wherever it goes (a line of
// progress on standard error's terminal, say).
std::string Escaped(std::string_view text);

struct Reporter {
  platform::Console& console;
  std::string line;  // kept from line to line: no allocation per rename
};

// Shows the rename; with ask, as a question ("[y/N] old ==> new "), and
// returns the answer (a no or a quit is reported as skipped); without, yes.
// Names go after shown, the folder part they are printed with.
platform::Answer ShowRename(Reporter& reporter, std::string_view shown,
                            std::string_view old_name,
                            std::string_view new_name, bool ask);
// The same for a move: the new name goes after new_shown (its path in a
// library, say).
platform::Answer ShowMove(Reporter& reporter, std::string_view shown,
                          std::string_view old_name, std::string_view new_shown,
                          std::string_view new_name, bool ask);
// Reports how the rename went: failure is "" when it was made.
void ShowOutcome(Reporter& reporter, bool asked, const std::string& failure);

// "12 renamed, 2 failed, 3 left alone": the counts that are not zero, or ""
// when all are.  A dry run says what would be done.
std::string SummaryLine(const RunCounts& counts, bool dry_run);

}  // namespace app
