#include "platform/posix/terminal_state.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace platform::posix {
namespace {

int keyboard_fd = -1;
// The settings before single-key mode; valid while settings_changed is set.
struct termios saved_settings;
volatile sig_atomic_t settings_changed = 0;
volatile sig_atomic_t key_wanted = 0;

bool InForeground(int fd) { return tcgetpgrp(fd) == getpgrp(); }

// Async-signal-safe: the handlers of SIGTSTP and SIGCONT call it, and the
// key wait calls it with those two blocked.
void EnterSingleKeyMode() {
  const int fd = keyboard_fd;
  if (!key_wanted || fd < 0 || !InForeground(fd)) return;
  // After SIGSTOP, which no handler sees, the settings are still ours: the
  // saved ones stay.  Else they are taken afresh, as the user may have
  // changed them (stty) while the job was stopped.
  if (!settings_changed && tcgetattr(fd, &saved_settings) != 0) return;
  struct termios settings = saved_settings;
  settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  settings_changed = 1;
  // TCSANOW: keys typed ahead stay in the queue and answer the prompt.
  tcsetattr(fd, TCSANOW, &settings);
}

// Runs body with the handlers that change the terminal's mode held off.
template <class Body>
void WithStopSignalsBlocked(Body&& body) {
  sigset_t stops, previous;
  sigemptyset(&stops);
  sigaddset(&stops, SIGTSTP);
  sigaddset(&stops, SIGCONT);
  sigprocmask(SIG_BLOCK, &stops, &previous);
  body();
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace

void OpenKeyboard() {
  if (keyboard_fd >= 0) return;
  int fd;
  do {
    fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return;  // no controlling terminal: no keyboard
  keyboard_fd = fd;
  atexit(RestoreTerminal);
}

int KeyboardFd() { return keyboard_fd; }

void DropKeyboard() {
  WithStopSignalsBlocked([] {
    RestoreTerminal();
    if (keyboard_fd >= 0) close(keyboard_fd);
    keyboard_fd = -1;
  });
}

void BeginKeyWait() {
  WithStopSignalsBlocked([] {
    key_wanted = 1;
    EnterSingleKeyMode();
  });
}

void EndKeyWait() {
  WithStopSignalsBlocked([] {
    key_wanted = 0;
    RestoreTerminal();
  });
}

void ResumeKeyWait() { EnterSingleKeyMode(); }

void RestoreTerminal() {
  const int fd = keyboard_fd;
  if (!settings_changed || fd < 0) return;
  // In the background the terminal belongs to another job now (we were
  // stopped by SIGSTOP and continued there); after a hang-up it is gone.
  // Either way there is nothing of ours to put back.
  if (InForeground(fd)) tcsetattr(fd, TCSANOW, &saved_settings);
  settings_changed = 0;
}

}  // namespace platform::posix
