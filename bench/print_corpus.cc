// Prints the first N names of the benchmark corpus, one a line, for the
// driver script to create as files.
#include <cstdio>
#include <cstdlib>

#include "bench/corpus.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::atol(argv[1]) <= 0) {
    std::fprintf(stderr, "usage: namewisp_corpus COUNT\n");
    return 2;
  }
  for (const std::string& name : bench::MessyNames(std::strtoul(argv[1], nullptr, 10)))
    std::printf("%s\n", name.c_str());
  return 0;
}
