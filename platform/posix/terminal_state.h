// The keyboard terminal: /dev/tty, in single-key mode only while a key is
// wanted and the run is in the foreground, and the saved settings that every
// way out of the process puts back.  Internal to the POSIX layer.
#pragma once

namespace platform::posix {

// Opens /dev/tty and changes nothing yet.  Without a terminal there is no
// keyboard, which is no error.
void OpenKeyboard();
// The file descriptor of the keyboard terminal, or -1 when there is none (no
// terminal, or it has hung up).
int KeyboardFd();
// Called when reading the keyboard hits end of file or an error: from then on
// there is no keyboard.
void DropKeyboard();

// A key is wanted from BeginKeyWait to EndKeyWait.  Meanwhile, whenever the
// run is the terminal's foreground job, the terminal is in single-key mode:
// no line editing, no echo and no flow control (Ctrl+S and Ctrl+Q are keys);
// Ctrl+C and Ctrl+Z keep their signals.  A job in the background leaves the
// terminal alone; reading it stops the job until it comes to the foreground.
void BeginKeyWait();
void EndKeyWait();
// Takes single-key mode again when a key is wanted and the run is in the
// foreground (after a stop, on SIGCONT).  Async-signal-safe.
void ResumeKeyWait();
// Puts back the settings that single-key mode replaced.  Async-signal-safe;
// does nothing when the terminal is not in single-key mode.
void RestoreTerminal();

}  // namespace platform::posix
