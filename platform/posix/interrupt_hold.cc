// Holding off the signals that end the process while a change in two steps
// is made: a signal that comes meanwhile is delivered at the release.
#include <signal.h>

#include "platform/platform.h"

namespace platform {
namespace {

sigset_t kept;

sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP}) sigaddset(&set, s);
  return set;
}

}  // namespace

void HoldInterrupts() {
  const sigset_t set = EndingSignals();
  sigprocmask(SIG_BLOCK, &set, &kept);
}

void ReleaseInterrupts() { sigprocmask(SIG_SETMASK, &kept, nullptr); }

}  // namespace platform
