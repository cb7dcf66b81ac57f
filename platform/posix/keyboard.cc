// WaitKey: one key from the keyboard terminal.  Bytes read beyond the key
// (keys typed ahead) wait in a buffer for the next call.
#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/key_decoding.h"
#include "platform/posix/terminal_state.h"

namespace platform {
namespace {

// How long the rest of an escape sequence may take to arrive; a lone Esc is
// known only when nothing follows it within this time.
constexpr int kSequencePauseMs = 40;

std::string pending;

enum class ReadOutcome { kGotBytes, kTimeout, kGone };

// Appends what the keyboard has to pending, waiting at most timeout_ms (-1:
// without a limit).
ReadOutcome ReadKeyboard(int fd, int timeout_ms) {
  for (;;) {
    struct pollfd p = {fd, POLLIN, 0};
    const int ready = poll(&p, 1, timeout_ms);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return ReadOutcome::kGone;
    }
    if (ready == 0) return ReadOutcome::kTimeout;
    char buffer[64];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      pending.append(buffer, static_cast<std::size_t>(n));
      return ReadOutcome::kGotBytes;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    return ReadOutcome::kGone;  // end of file or EIO: the terminal hung up
  }
}

// The answer when there is no keyboard: not y, so the entry is skipped.
std::u16string NoKey() { return std::u16string(1, u'\0'); }

}  // namespace

std::u16string WaitKey() {
  for (;;) {
    const int fd = posix::KeyboardFd();
    if (pending.empty()) {
      if (fd < 0) return NoKey();
      if (ReadKeyboard(fd, -1) == ReadOutcome::kGone) {
        posix::DropKeyboard();
        return NoKey();
      }
      continue;
    }
    posix::KeyDecoding d = posix::DecodeKey(pending, false);
    if (d.status == posix::KeyDecoding::kNeedMore) {
      const ReadOutcome outcome =
          fd < 0 ? ReadOutcome::kGone : ReadKeyboard(fd, kSequencePauseMs);
      if (outcome == ReadOutcome::kGotBytes) continue;
      if (outcome == ReadOutcome::kGone && fd >= 0) posix::DropKeyboard();
      d = posix::DecodeKey(pending, true);
    }
    pending.erase(0, d.consumed);
    return d.key;
  }
}

}  // namespace platform
