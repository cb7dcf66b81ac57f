// The keyboard terminal, driven through a pseudo-terminal: single keys, keys
// typed ahead, escape sequences as one key, and the terminal's settings put
// back on every way out.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/program_argv.h"

namespace {

void WriteAll(int fd, const std::string& s) {
  std::size_t done = 0;
  while (done < s.size()) {
    const ssize_t n = write(fd, s.data() + done, s.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// Reads from fd until `until` has appeared (or, with an empty `until`, the
// end), at most timeout_ms.
std::string ReadUntil(int fd, const std::string& until, int timeout_ms) {
  std::string got;
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (!until.empty() && got.find(until) != std::string::npos) return got;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return got;
    struct pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return got;  // EIO: the other side has closed
    got.append(buffer, static_cast<std::size_t>(n));
  }
}

// The answer to a question with no prompt: "Y;" or "N;".
std::string AskOnce() {
  return platform::SystemConsole().Ask("") == platform::Answer::kYes ? "Y;" : "N;";
}

struct Child {
  pid_t pid = -1;
  int master = -1;
};

// A child on a new pseudo-terminal (its controlling terminal and its standard
// input and output) that starts the program, says "R", and runs body.
template <class Body>
Child StartOnTerminal(Body body) {
  Child child;
  struct termios settings = {};
  settings.c_iflag = ICRNL;
  settings.c_oflag = 0;  // no output processing: the bytes as written
  settings.c_cflag = CS8 | CREAD;
  settings.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
  cfmakeraw(&settings);
  settings.c_lflag |= ICANON | ECHO | ISIG;
  settings.c_iflag |= ICRNL;
  settings.c_cc[VINTR] = 3;
  settings.c_cc[VMIN] = 1;
  child.pid = forkpty(&child.master, nullptr, &settings, nullptr);
  if (child.pid == 0) {
    alarm(10);  // never hang the test run
    platform::StartProgram(1, test_argv);
    WriteAll(STDOUT_FILENO, "R");
    body();
    _exit(99);
  }
  return child;
}

int WaitExit(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

tcflag_t LocalFlags(int master) {
  struct termios t;
  if (tcgetattr(master, &t) != 0) return 0;
  return t.c_lflag & (ICANON | ECHO | ISIG);
}

// Waits until the child's terminal is in single-key mode: no line editing,
// no echo, no flow control, signals on.
bool AwaitSingleKeyMode(int master) {
  for (int i = 0; i < 500; ++i) {
    struct termios t;
    if (tcgetattr(master, &t) == 0 && (t.c_iflag & IXON) == 0 &&
        (t.c_lflag & (ICANON | ECHO | ISIG)) == ISIG) {
      return true;
    }
    usleep(10000);
  }
  return false;
}

TEST(PosixTerminal, KeysComeOneAtATimeAndSettingsAreRestored) {
  Child child = StartOnTerminal([] {
    for (int i = 0; i < 11; ++i) {
      WriteAll(STDOUT_FILENO, AskOnce());
    }
    platform::EndProgram(0);
  });
  ASSERT_GT(child.pid, 0);
  const tcflag_t before = ICANON | ECHO | ISIG;
  ASSERT_NE(ReadUntil(child.master, "R", 5000).find("R"), std::string::npos);
  ASSERT_TRUE(AwaitSingleKeyMode(child.master));
  // Typed ahead in one go: y, Y, Up, Ctrl+S, F1, Alt+y, e acute.
  WriteAll(child.master, "yY\x1b[A\x13\x1bOP\x1by\xc3\xa9");
  usleep(200000);
  WriteAll(child.master, "\x1b");  // a lone Esc
  usleep(200000);
  WriteAll(child.master, "n\r ");
  const std::string out = ReadUntil(child.master, "", 5000);
  const int status = WaitExit(child.pid);
  EXPECT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(out, "Y;Y;N;N;N;N;N;N;N;N;N;");
  EXPECT_EQ(LocalFlags(child.master), before);
  close(child.master);
}

TEST(PosixTerminal, SignalsRestoreTheSettings) {
  // Each signal that ends the process by default ends it so, with the
  // settings back; SIGINT (Ctrl+C) with a line end and exit code 130.
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2,
                            SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGRTMIN}) {
    Child child = StartOnTerminal([] {
      platform::SystemConsole().Ask("");
      platform::EndProgram(0);
    });
    ASSERT_GT(child.pid, 0);
    ASSERT_NE(ReadUntil(child.master, "R", 5000).find("R"), std::string::npos);
    ASSERT_TRUE(AwaitSingleKeyMode(child.master));
    kill(child.pid, signal_number);
    const std::string out = ReadUntil(child.master, "", 5000);
    const int status = WaitExit(child.pid);
    if (signal_number == SIGINT) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
      EXPECT_EQ(out, "\n");
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number)
          << signal_number << ": " << status;
    }
    EXPECT_EQ(LocalFlags(child.master), tcflag_t{ICANON | ECHO | ISIG})
        << signal_number;
    close(child.master);
  }
}

TEST(PosixTerminal, RedirectedInputStillReadsTheTerminal) {
  // Standard input from elsewhere: keys still come from the terminal, and
  // Ctrl+C ends the run.
  Child redirected;
  struct termios settings = {};
  cfmakeraw(&settings);
  settings.c_lflag |= ICANON | ECHO | ISIG;
  settings.c_cc[VINTR] = 3;
  settings.c_cc[VMIN] = 1;
  redirected.pid = forkpty(&redirected.master, nullptr, &settings, nullptr);
  ASSERT_GE(redirected.pid, 0);
  if (redirected.pid == 0) {
    alarm(10);
    const int null = open("/dev/null", O_RDONLY);
    dup2(null, STDIN_FILENO);
    platform::StartProgram(1, test_argv);
    WriteAll(STDOUT_FILENO, "R");
    WriteAll(STDOUT_FILENO, AskOnce());
    platform::SystemConsole().Ask("");
    platform::EndProgram(0);
  }
  ASSERT_NE(ReadUntil(redirected.master, "R", 5000).find("R"),
            std::string::npos);
  ASSERT_TRUE(AwaitSingleKeyMode(redirected.master));
  WriteAll(redirected.master, "y");
  EXPECT_NE(ReadUntil(redirected.master, "Y;", 5000).find("Y;"),
            std::string::npos);
  ASSERT_TRUE(AwaitSingleKeyMode(redirected.master));
  WriteAll(redirected.master, "\x03");  // an interrupt now
  const int status = WaitExit(redirected.pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
  EXPECT_EQ(LocalFlags(redirected.master), tcflag_t{ICANON | ECHO | ISIG});
  close(redirected.master);
}

TEST(PosixTerminal, HangUpAnswersAtOnceWithNotYes) {
  Child child = StartOnTerminal([] {
    const platform::Answer key = platform::SystemConsole().Ask("");
    const platform::Answer again = platform::SystemConsole().Ask("");
    platform::EndProgram(
        key == platform::Answer::kNo && again == platform::Answer::kNo ? 0 : 1);
  });
  ASSERT_GT(child.pid, 0);
  ASSERT_NE(ReadUntil(child.master, "R", 5000).find("R"), std::string::npos);
  // The child ignores nothing, so the hang-up signal ends it; a child that
  // ignores SIGHUP reads end of file instead.  Both end without a hang.
  close(child.master);
  const int status = WaitExit(child.pid);
  EXPECT_TRUE((WIFEXITED(status) && WEXITSTATUS(status) == 0) ||
              (WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP))
      << status;
}

TEST(PosixTerminal, HangUpWithSighupIgnoredReadsEndOfInput) {
  Child child;
  child.pid = forkpty(&child.master, nullptr, nullptr, nullptr);
  ASSERT_GE(child.pid, 0);
  if (child.pid == 0) {
    alarm(10);
    signal(SIGHUP, SIG_IGN);
    platform::StartProgram(1, test_argv);
    WriteAll(STDOUT_FILENO, "R");
    const platform::Answer key = platform::SystemConsole().Ask("");
    const platform::Answer again = platform::SystemConsole().Ask("");
    platform::EndProgram(
        key == platform::Answer::kNo && again == platform::Answer::kNo ? 0 : 1);
  }
  ASSERT_NE(ReadUntil(child.master, "R", 5000).find("R"), std::string::npos);
  close(child.master);
  const int status = WaitExit(child.pid);
  EXPECT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(PosixTerminal, WithoutTerminalTheQuestionIsAnsweredAtOnce) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    alarm(10);
    setsid();  // no controlling terminal from here on
    platform::StartProgram(1, test_argv);
    platform::EndProgram(platform::SystemConsole().Ask("") == platform::Answer::kNo ? 0 : 1);
  }
  const int status = WaitExit(pid);
  EXPECT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(PosixTerminal, ArgumentsFromStartProgram) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    alarm(10);
    setsid();
    char a0[] = "namewisp", a1[] = "/y", a2[] = "My Movie.avi", a3[] = "\xff";
    char* argv[] = {a0, a1, a2, a3, nullptr};
    platform::StartProgram(4, argv);
    const platform::CommandLine line = platform::ReadCommandLine();
    const bool right =
        !line.is_tail && line.arguments == std::vector<std::string>{
                                               "/y", "My Movie.avi", "\xff"};
    platform::EndProgram(right ? 0 : 1);
  }
  const int status = WaitExit(pid);
  EXPECT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
