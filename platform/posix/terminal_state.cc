#include "platform/posix/terminal_state.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <initializer_list>

namespace platform::posix {
namespace {

int keyboard_fd = -1;
struct termios saved_settings;
volatile sig_atomic_t settings_changed = 0;

// True when standard input is the controlling terminal (which /dev/tty
// opens).  The descriptors cannot be compared by fstat: /dev/tty has a device
// number of its own.
bool StdinIsControllingTerminal() {
  if (!isatty(STDIN_FILENO)) return false;
  const pid_t session = tcgetsid(STDIN_FILENO);
  return session != -1 && session == getsid(0);
}

void RestoreAndReraise(int signal_number) {
  const int saved_errno = errno;
  RestoreTerminal();
  // The handler was installed with SA_RESETHAND: the default action is back.
  raise(signal_number);
  errno = saved_errno;
}

void InstallHandlers() {
  struct sigaction action = {};
  action.sa_handler = RestoreAndReraise;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction old;
    if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
      continue;  // ignored by whoever started us (nohup, a background job)
    }
    sigaction(s, &action, nullptr);
  }
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
  if (tcgetattr(fd, &saved_settings) != 0) return;
  // A job in the background leaves the terminal to the foreground job.
  if (tcgetpgrp(fd) != getpgrp()) return;
  struct termios settings = saved_settings;
  settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  if (StdinIsControllingTerminal()) {
    settings.c_lflag &= ~static_cast<tcflag_t>(ISIG);  // Ctrl+C is a key
  }
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  InstallHandlers();
  atexit(RestoreTerminal);
  // TCSANOW: keys typed ahead stay in the queue and answer the first prompt.
  if (tcsetattr(fd, TCSANOW, &settings) == 0) settings_changed = 1;
}

int KeyboardFd() { return keyboard_fd; }

void DropKeyboard() {
  RestoreTerminal();
  if (keyboard_fd >= 0) close(keyboard_fd);
  keyboard_fd = -1;
}

void RestoreTerminal() {
  if (!settings_changed || keyboard_fd < 0) return;
  // After a hang-up this fails harmlessly.
  tcsetattr(keyboard_fd, TCSANOW, &saved_settings);
  settings_changed = 0;
}

void FatalEnd() {
  RestoreTerminal();
  _exit(255);
}

}  // namespace platform::posix
