#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/call_platform.h"
#include "platform/posix/console_state.h"
#include "platform/posix/display_width.h"

namespace {

using namespace std::string_literals;

// Standard output sent to another descriptor for the length of a test.
class StdoutTo {
 public:
  explicit StdoutTo(int fd) : saved_(dup(STDOUT_FILENO)) {
    fflush(stdout);
    dup2(fd, STDOUT_FILENO);
  }
  ~StdoutTo() {
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

std::string ReadAvailable(int fd) {
  std::string out;
  char buffer[256];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) out.append(buffer, n);
  return out;
}

TEST(PosixConsole, PrintsBytesUnchangedAndWholeLines) {
  int p[2];
  ASSERT_EQ(pipe2(p, O_CLOEXEC | O_NONBLOCK), 0);
  std::string before_line_end;
  {
    StdoutTo redirect(p[1]);
    platform::SystemConsole().Print("caf\xc3\xa9 \xff ==> x"s);
    platform::SystemConsole().Print("");
    platform::SystemConsole().Print("nul\0byte"s);
    before_line_end = ReadAvailable(p[0]);  // held until the line ends
    platform::SystemConsole().Print("\n");
  }
  close(p[1]);
  EXPECT_EQ(before_line_end, "");
  EXPECT_EQ(ReadAvailable(p[0]), "caf\xc3\xa9 \xff ==> xnul\0byte\n"s);
  close(p[0]);
}

TEST(PosixConsole, LongOutputIsWrittenCompletely) {
  // More than a pipe holds at once: written in pieces while a child process
  // reads them.
  int p[2];
  ASSERT_EQ(pipe2(p, O_CLOEXEC), 0);
  const std::string big = std::string(300000, 'x') + "\n";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(p[0]);
    dup2(p[1], STDOUT_FILENO);
    platform::SystemConsole().Print(big);
    _exit(0);
  }
  close(p[1]);
  const std::string got = ReadAvailable(p[0]);
  close(p[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(got.size(), big.size());
}

TEST(PosixConsole, FailedWritesLeaveTheRunGoing) {
  struct sigaction old_action;
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old_action);
  int p[2];
  ASSERT_EQ(pipe2(p, O_CLOEXEC), 0);
  close(p[0]);
  {
    StdoutTo redirect(p[1]);
    platform::SystemConsole().Print("lost\n");
  }
  close(p[1]);
  sigaction(SIGPIPE, &old_action, nullptr);
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full >= 0) {
    StdoutTo redirect(full);
    platform::SystemConsole().Print("lost\n");
    close(full);
    // Said at the end; a closed pipe is not.
    EXPECT_EQ(platform::posix::OutputError(), ENOSPC);
    platform::posix::ClearOutputError();
  }
}

TEST(PosixConsole, CallPlatformCapturesErrno) {
  const auto failed = platform::posix::CallPlatform(
      [] { return open("/nonexistent/namewisp", O_RDONLY); });
  EXPECT_TRUE(failed.failed);
  EXPECT_EQ(failed.error, ENOENT);

  const auto ok = platform::posix::CallPlatform([] {
    errno = EINVAL;  // a successful call may leave errno set: not a failure
    return 0;
  });
  EXPECT_FALSE(ok.failed);
  EXPECT_EQ(ok.error, 0);
}

TEST(PosixConsole, DisplayColumns) {
  struct Case {
    std::string text;
    int want;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"caf\xc3\xa9", 4},                        // é: one column
      {"e\xcc\x81", 1},                          // e + combining acute
      {"\xe0\xa4\x95\xe0\xa4\xbe", 2},           // Devanagari ka + spacing aa
      {"\xe1\x84\x92\xe1\x85\xa1\xe1\x86\xab", 2},  // Hangul, decomposed
      {"\xe6\x97\xa5\xe6\x9c\xac", 4},           // two wide CJK characters
      {"\xf0\x9f\x98\x80", 2},                   // an emoji
      {"\xf0\x9f\xab\xa8", 2},                   // an emoji of Unicode 15
      {"\xff\xfe", 2},                           // bytes that are no text
      {"\xed\xa0\x80", 3},                       // an encoded surrogate
      {"a\tb", 3},                               // control characters: 1
      {"\x01\x7f", 2},
      {"\xc2\x85", 1},                           // C1 control
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::SystemConsole().DisplayColumns(c.text), c.want)
        << testing::PrintToString(c.text);
  }
}

TEST(PosixConsole, CursorTravel) {
  const std::string wide = "\xe6\x97\xa5";  // one character, two columns
  struct Case {
    long from;
    std::string text;
    long width;  // of the terminal; 0: unknown
    long want;
  };
  const Case cases[] = {
      {0, "abc", 0, 3},
      {5, "ab\r\ncd", 0, 2},
      {5, "ab\rc", 0, 1},
      {5, "ab\nc", 0, 1},
      {0, wide + " ==> ", 0, 7},
      {3, "\t", 0, 8},
      {8, "\t", 0, 16},
      // A wide character that would straddle the last column goes to the
      // next line; the column it leaves empty counts.
      {9, wide, 10, 12},
      {19, wide + "a", 10, 23},
      {8, wide, 10, 10},   // fits exactly
      {10, wide, 10, 12},  // at the start of a line
      {9, "ab", 10, 11},   // narrow characters just wrap
      {9, wide, 0, 11},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::posix::AdvanceColumn(c.from, c.text, c.width), c.want)
        << c.from << " " << testing::PrintToString(c.text) << " " << c.width;
  }
}

TEST(PosixConsole, WithoutTerminalNothingWraps) {
  if (isatty(STDOUT_FILENO) || isatty(STDERR_FILENO)) {
    GTEST_SKIP() << "a terminal is attached";
  }
  EXPECT_EQ(platform::SystemConsole().ScreenWidth(), INT_MAX / 2);
  EXPECT_EQ(platform::SystemConsole().CursorColumn(), 1);
}

}  // namespace
