// The signals of the process.  One that ends it puts the terminal back first
// and then ends it as that signal does (SIGINT: a line end and exit code 130);
// SIGTSTP gives the terminal back before the stop and SIGCONT takes it again
// when a key is wanted; a failed write never ends it.  Internal to the POSIX
// layer.
#pragma once

namespace platform::posix {

// Installs the handlers; StartProgram calls it first.  A signal that whoever
// started the process ignores (nohup, a background job of a script) stays
// ignored.  SIGPIPE and SIGXFSZ are ignored: the write fails with EPIPE or
// EFBIG, which the write records, and the run goes on.
void InstallSignalHandlers();

// From HoldInterrupts to ReleaseInterrupts a signal that would end the process
// waits, and ReleaseInterrupts acts on it: a rename of two steps (through a
// temporary name) is never cut between them.  Holds nest; only the outermost
// release acts.  Both are async-signal-safe and make no system call unless a
// signal waits.  A fault of the program itself (SIGSEGV and its kin from the
// kernel) never waits.
void HoldInterrupts();
void ReleaseInterrupts();
// Whether a signal waits on a hold.  Async-signal-safe.
bool SignalWaiting();

}  // namespace platform::posix
