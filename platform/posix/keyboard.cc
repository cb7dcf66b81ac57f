// The question: one key from the keyboard terminal.  It reads one byte at a time
// and only the bytes that the key needs, so that keys typed beyond it stay in
// the terminal's queue: for the next prompt, or for the shell after the run.
#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <string>

#include "platform/posix/console_state.h"
#include "platform/posix/file_system.h"
#include "platform/posix/key_decoding.h"
#include "platform/posix/terminal_state.h"

namespace platform::posix {
namespace {

// How long the rest of an escape sequence may take to arrive; a lone Esc is
// known only when nothing follows it within this time.
constexpr int kSequencePauseMs = 40;

// Bytes read and not yet taken by a key: the start of a sequence, or the
// byte that broke one off (the next key).
std::string pending;

enum class ReadOutcome { kGotByte, kTimeout, kGone };

// Appends one byte from the keyboard to pending.  Without a time limit
// (timeout_ms -1) it reads at once, so that a job in the background stops on
// SIGTTIN until it is brought to the foreground; with one it polls first.
ReadOutcome ReadByte(int fd, int timeout_ms) {
  for (;;) {
    if (timeout_ms >= 0) {
      struct pollfd p = {fd, POLLIN, 0};
      const int ready = poll(&p, 1, timeout_ms);
      if (ready < 0) {
        if (errno == EINTR) continue;
        return ReadOutcome::kGone;
      }
      if (ready == 0) return ReadOutcome::kTimeout;
    }
    char byte;
    const ssize_t n = read(fd, &byte, 1);
    if (n == 1) {
      pending.push_back(byte);
      return ReadOutcome::kGotByte;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    return ReadOutcome::kGone;  // end of file or EIO: the terminal hung up
  }
}

// Reads one key press: 'y', 'a' or 'q' for those letters, else 0, and 0 at
// once without a keyboard, so that the entry is skipped.
char ReadAnswerKey() {
  for (;;) {
    const int fd = KeyboardFd();
    if (pending.empty()) {
      if (fd < 0) return 0;
      if (ReadByte(fd, -1) == ReadOutcome::kGone) {
        DropKeyboard();
        return 0;
      }
      continue;
    }
    KeyDecoding d = DecodeKey(pending, false);
    if (d.status == KeyDecoding::kNeedMore) {
      const ReadOutcome outcome =
          fd < 0 ? ReadOutcome::kGone : ReadByte(fd, kSequencePauseMs);
      if (outcome == ReadOutcome::kGotByte) continue;
      if (outcome == ReadOutcome::kGone && fd >= 0) DropKeyboard();
      d = DecodeKey(pending, true);
    }
    pending.erase(0, d.consumed);
    return d.letter;
  }
}

}  // namespace

Answer PosixConsole::Ask(std::string_view prompt, std::string_view shown) {
  Print(prompt);
  FlushOutput();
  // Output to a file or a pipe: the question is shown on the terminal too,
  // and the answer after it (console.cc).
  if (!OutputIsScreen() && KeyboardFd() >= 0 && !shown.empty())
    ShowOnTerminal(shown);
  BeginKeyWait();
  const char key = ReadAnswerKey();
  EndKeyWait();
  switch (key) {
    case 'y': return Answer::kYes;
    case 'a': return Answer::kAll;
    case 'q': return Answer::kQuit;
  }
  return Answer::kNo;
}

}  // namespace platform::posix
