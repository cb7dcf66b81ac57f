// Which descriptors are the output and the screen.  Internal to the POSIX
// layer.
#pragma once

#include <string_view>

namespace platform::posix {

// Decides the screen: standard output when it is a terminal, else standard
// error when that is one, else none.  StartProgram calls it; the first
// console query calls it when StartProgram did not run (unit tests).
void ChooseScreen();
// The screen's descriptor, or -1 when there is no terminal.
int ScreenFd();
// True when standard output is the screen, so that printing moves the cursor.
bool OutputIsScreen();
// Writes the output held back for its line end.
void FlushOutput();
// The first error that a write to standard output met (a full disk, say),
// or 0; a closed pipe is none.
int OutputError();
// Forgets it (a test that goes on in the same process).
void ClearOutputError();
// Writes a question to the keyboard's terminal while standard output goes
// elsewhere; the text printed next, up to its line end, follows it there.
void ShowOnTerminal(std::string_view question);
// True while such a question waits for its answer.  Async-signal-safe.
bool QuestionOnTerminal();

}  // namespace platform::posix
