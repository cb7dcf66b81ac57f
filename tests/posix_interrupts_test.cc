// A signal that ends the process waits while interrupts are held and acts at
// the outermost release.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/interrupts.h"
#include "tests/program_argv.h"

namespace {

void Say(const char* text) {
  if (write(STDOUT_FILENO, text, 1) != 1) _exit(98);
}

TEST(PosixInterrupts, HeldSignalActsAtTheOutermostRelease) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGUSR1}) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      alarm(10);
      setsid();  // no terminal
      dup2(out[1], STDOUT_FILENO);
      platform::StartProgram(1, test_argv);
      using namespace platform::posix;
      HoldInterrupts();
      HoldInterrupts();
      kill(getpid(), signal_number);
      Say("a");  // the first step of a rename
      ReleaseInterrupts();
      Say("b");  // the second
      ReleaseInterrupts();
      Say("c");  // never: the signal acts at the release
      _exit(0);
    }
    close(out[1]);
    std::string got;
    char buffer[16];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) got.append(buffer, n);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (signal_number == SIGINT) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
      EXPECT_EQ(got, "ab\n");
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number)
          << signal_number << ": " << status;
      EXPECT_EQ(got, "ab") << signal_number;
    }
  }
}

}  // namespace
