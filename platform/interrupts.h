// Ctrl+C and the other signals that end the process, held off while the run
// makes a change in several steps, so that it is never cut between them.
// One side per system (POSIX holds the signals; Windows has none to hold);
// tests use a fake.
#pragma once

namespace platform {

class Interrupts {
 public:
  virtual ~Interrupts() = default;
  // While held, such a signal waits; the outermost release acts on it.
  // Holds nest.
  virtual void Hold() = 0;
  virtual void Release() = 0;
  // Whether such a signal waits on a hold: a run makes no further change
  // before it acts, and a copy stops for it (a copy may take minutes).
  virtual bool Waiting() = 0;
};

// A hold for the time of a scope: released however the scope ends.
class InterruptHold {
 public:
  explicit InterruptHold(Interrupts& interrupts) : interrupts_(interrupts) {
    interrupts_.Hold();
  }
  ~InterruptHold() { interrupts_.Release(); }
  InterruptHold(const InterruptHold&) = delete;
  InterruptHold& operator=(const InterruptHold&) = delete;

 private:
  Interrupts& interrupts_;
};

}  // namespace platform
