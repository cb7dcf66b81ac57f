// Which descriptors are the output and the screen.  Internal to the POSIX
// layer.
#pragma once

namespace platform::posix {

// Decides the screen: standard output when it is a terminal, else standard
// error when that is one, else none.  StartProgram calls it; the first
// console query calls it when StartProgram did not run (unit tests).
void ChooseScreen();
// The screen's descriptor, or -1 when there is no terminal.
int ScreenFd();
// True when standard output is the screen, so that printing moves the cursor.
bool OutputIsScreen();
// Writes the output held back for its line end; one that cannot be written
// ends the program (OutputFailed).
void FlushOutput();
// Says on standard error that standard output failed with the error number,
// and ends the program with exit code 1.
[[noreturn]] void OutputFailed(int error);

}  // namespace platform::posix
