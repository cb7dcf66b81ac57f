// Runs a command and writes its peak resident memory (KiB) to a file.  A
// small process of its own starts the command, because Linux counts into a
// child's peak the memory of the process it was forked from: measured
// straight from the driver, the peak would include the driver's.
//
//   namewisp_peak_rss RESULT_FILE COMMAND [ARGS...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: namewisp_peak_rss RESULT_FILE COMMAND [ARGS...]\n");
    return 2;
  }
  const pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) return 2;
  if (std::FILE* f = std::fopen(argv[1], "w")) {
    std::fprintf(f, "%ld\n", usage.ru_maxrss);
    std::fclose(f);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
