#include "platform/posix/interrupts.h"

#include "platform/posix/file_system.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <initializer_list>

#include "platform/posix/console_state.h"
#include "platform/posix/terminal_state.h"

namespace platform::posix {
namespace {

volatile sig_atomic_t hold_depth = 0;
volatile sig_atomic_t waiting_signal = 0;  // 0: none

// The signals whose default action ends the process (besides SIGKILL, which
// cannot be caught, and SIGPIPE and SIGXFSZ, which are ignored); the
// real-time signals are added by range.
constexpr int kEndingSignals[] = {
    SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP,   SIGABRT, SIGBUS,
    SIGFPE,  SIGUSR1, SIGSEGV, SIGUSR2, SIGALRM,   SIGTERM, SIGXCPU,
    SIGIO,   SIGSYS,  SIGPROF, SIGVTALRM,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

template <class Visit>
void ForEachEndingSignal(Visit&& visit) {
  for (int s : kEndingSignals) visit(s);
  for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) visit(s);
}

[[noreturn]] void EndBySignal(int signal_number) {
  RestoreTerminal();
  if (signal_number == SIGINT) {
    // The shell's prompt then starts on a line of its own, also after a
    // prompt of ours that waited for a key.
    if (write(STDOUT_FILENO, "\n", 1) < 0) {
      // Nothing to do: the exit code tells.
    }
    if (QuestionOnTerminal() && KeyboardFd() >= 0 &&
        write(KeyboardFd(), "\n", 1) < 0) {
      // As above.
    }
    _exit(130);
  }
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal_number);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal_number);
  _exit(128 + signal_number);  // not reached: the default action ends us
}

// A fault of the program itself comes back at once if the handler returns:
// it can never wait for a release.
bool IsFault(int signal_number, const siginfo_t* info) {
  if (info == nullptr || info->si_code <= 0) return false;  // sent by kill()
  for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS}) {
    if (s == signal_number) return true;
  }
  return false;
}

void OnEndingSignal(int signal_number, siginfo_t* info, void*) {
  if (hold_depth > 0 && !IsFault(signal_number, info)) {
    if (waiting_signal == 0) waiting_signal = signal_number;
    return;
  }
  EndBySignal(signal_number);
}

// Ctrl+Z: the terminal goes back to the shell as it was, then the process
// stops as it would without a handler.
void OnStop(int signal_number, siginfo_t*, void*) {
  const int saved_errno = errno;
  RestoreTerminal();
  struct sigaction stop = {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  struct sigaction mine;
  sigaction(signal_number, &stop, &mine);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal_number);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal_number);  // stops here until SIGCONT
  sigprocmask(SIG_BLOCK, &only, nullptr);
  sigaction(signal_number, &mine, nullptr);
  // The kernel drops the stop of an orphaned process group: then no SIGCONT
  // comes, and the key wait goes on here.
  ResumeKeyWait();
  errno = saved_errno;
}

void OnContinue(int, siginfo_t*, void*) {
  const int saved_errno = errno;
  ResumeKeyWait();
  errno = saved_errno;
}

struct sigaction HandlerAction(void (*handler)(int, siginfo_t*, void*)) {
  struct sigaction action = {};
  action.sa_sigaction = handler;
  // SA_RESTART: a stop and continue leave the calls of the run unbroken.
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  // No handler interrupts another.
  sigemptyset(&action.sa_mask);
  ForEachEndingSignal([&](int s) { sigaddset(&action.sa_mask, s); });
  sigaddset(&action.sa_mask, SIGTSTP);
  sigaddset(&action.sa_mask, SIGCONT);
  return action;
}

// Installs action for a signal left at its default; one that is ignored or
// already handled (by a sanitizer, say) keeps what it has.
void Install(int signal_number, const struct sigaction& action) {
  struct sigaction old;
  if (sigaction(signal_number, nullptr, &old) != 0) return;
  if ((old.sa_flags & SA_SIGINFO) == 0 && old.sa_handler == SIG_DFL) {
    sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace

void InstallSignalHandlers() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  const struct sigaction ending = HandlerAction(OnEndingSignal);
  ForEachEndingSignal([&](int s) { Install(s, ending); });
  Install(SIGTSTP, HandlerAction(OnStop));
  Install(SIGCONT, HandlerAction(OnContinue));
}

void HoldInterrupts() { hold_depth = hold_depth + 1; }

void ReleaseInterrupts() {
  if (hold_depth <= 0) return;
  hold_depth = hold_depth - 1;
  // A signal that comes after the count reached 0 acts in its handler.
  if (hold_depth == 0 && waiting_signal != 0) EndBySignal(waiting_signal);
}

bool SignalWaiting() { return waiting_signal != 0; }

void PosixInterrupts::Hold() { HoldInterrupts(); }
void PosixInterrupts::Release() { ReleaseInterrupts(); }
bool PosixInterrupts::Waiting() { return SignalWaiting(); }

}  // namespace platform::posix
