// The keyboard terminal: /dev/tty in single-key mode, and the saved settings
// that every way out of the process puts back.  Internal to the POSIX layer.
#pragma once

namespace platform::posix {

// Opens /dev/tty, saves its settings and switches it to non-canonical mode
// without echo (and without signals when standard input is that terminal);
// installs the handlers that restore the settings on SIGINT, SIGTERM, SIGHUP
// and SIGQUIT.  Without a terminal there is no keyboard, which is no error.
void OpenKeyboard();
// The file descriptor of the keyboard terminal, or -1 when there is none (no
// terminal, or it has hung up).
int KeyboardFd();
// Called when reading the keyboard hits end of file or an error: from then on
// there is no keyboard.
void DropKeyboard();
// Puts back the saved settings.  Async-signal-safe; does nothing when nothing
// was changed.
void RestoreTerminal();
// The fatal end: restores the terminal and exits with code 255, no output.
[[noreturn]] void FatalEnd();

}  // namespace platform::posix
