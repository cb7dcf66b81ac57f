// Console output, the cursor column, the window width and the question.
#include <errno.h>
#include <limits.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "platform/posix/call_platform.h"
#include "platform/posix/console_state.h"
#include "platform/posix/display_width.h"
#include "platform/posix/file_system.h"
#include "platform/posix/terminal_state.h"

namespace platform {
namespace posix {
namespace {

bool screen_chosen = false;
int screen_fd = -1;
// Columns printed to standard output since its last line end.
long printed_columns = 0;
// Output held until its line ends, so that a line is one write.
std::string held;
// The first error that a write to standard output met, or 0.
int output_error = 0;
// A question stands on the keyboard's terminal: the answer goes there too.
// Read by the signal handler.
volatile std::sig_atomic_t answer_to_terminal = 0;

// Width reported when there is no terminal: no name ever wraps.
constexpr int kNoTerminalWidth = INT_MAX / 2;
// Width of a terminal that cannot tell its size (a serial line, say).
constexpr int kUnknownTerminalWidth = 80;

// Writes all of data to fd; a failure drops the rest and comes back as its
// error number.
int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const auto result = CallPlatform([&] {
      ssize_t n;
      do {
        n = write(fd, data.data(), data.size());
      } while (n < 0 && errno == EINTR);
      return n;
    });
    if (result.failed || result.value == 0)
      return result.failed ? result.error : EIO;
    data.remove_prefix(static_cast<std::size_t>(result.value));
  }
  return 0;
}

}  // namespace

void ChooseScreen() {
  screen_chosen = true;
  if (isatty(STDOUT_FILENO)) {
    screen_fd = STDOUT_FILENO;
  } else if (isatty(STDERR_FILENO)) {
    screen_fd = STDERR_FILENO;
  } else {
    screen_fd = -1;
  }
}

int ScreenFd() {
  if (!screen_chosen) ChooseScreen();
  return screen_fd;
}

bool OutputIsScreen() { return ScreenFd() == STDOUT_FILENO; }

void FlushOutput() {
  if (held.empty()) return;
  const int error = WriteAll(STDOUT_FILENO, held);
  held.clear();
  // The renames go on, and the program's end says that their record was
  // lost, as the system's own tools do.  A reader that went away (a closed
  // pipe) wanted no more of it.
  if (error != 0 && error != EPIPE && output_error == 0) output_error = error;
}

int OutputError() { return output_error; }
void ClearOutputError() { output_error = 0; }

void ShowOnTerminal(std::string_view question) {
  const int fd = KeyboardFd();
  if (fd < 0) return;
  WriteAll(fd, question);
  answer_to_terminal = 1;
}

bool QuestionOnTerminal() { return answer_to_terminal != 0; }

void PosixConsole::Print(std::string_view text) {
  if (text.empty()) return;
  if (answer_to_terminal) {
    const std::size_t end = text.find('\n');
    const std::string_view answer =
        end == std::string_view::npos ? text : text.substr(0, end + 1);
    if (KeyboardFd() >= 0) WriteAll(KeyboardFd(), answer);
    if (end != std::string_view::npos) answer_to_terminal = 0;
  }
  // The count matters only where the output is the screen.
  if (OutputIsScreen()) {
    printed_columns =
        AdvanceColumn(printed_columns, text, ScreenWidth());
  }
  held.append(text);
  if (text.find('\n') != std::string_view::npos) FlushOutput();
}

void PosixConsole::PrintError(std::string_view line) {
  FlushOutput();
  std::string whole(line);
  whole.push_back('\n');
  WriteAll(STDERR_FILENO, whole);
}

void PosixConsole::ShowProgress(std::string_view text) {
  static const bool terminal = isatty(STDERR_FILENO) == 1;
  if (terminal) WriteAll(STDERR_FILENO, std::string(text));
}

// Asked once: standard output stays what it was at the start.
bool PosixConsole::IsTerminal() {
  static const bool terminal = isatty(STDOUT_FILENO) == 1;
  return terminal;
}

int PosixConsole::ScreenWidth() {
  const int fd = ScreenFd();
  if (fd < 0) return kNoTerminalWidth;
  struct winsize size = {};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
    return kUnknownTerminalWidth;
  }
  return size.ws_col;
}

int PosixConsole::CursorColumn() {
  // Output that goes elsewhere leaves the terminal's cursor where it was; the
  // program never prints to the terminal otherwise, so that is column 1.
  if (!OutputIsScreen()) return 1;
  // The terminal continues a long line on the next one, so the cursor stands
  // at the count modulo the width (after exactly a full line, at column 1 of
  // the next, where the next character goes).
  const long width = ScreenWidth();
  return static_cast<int>(printed_columns % width) + 1;
}

}  // namespace posix
}  // namespace platform
