// Times the listing of one operand (the folder read by the system, the
// pattern matched by the program), the step every run starts with:
//
//   namewisp_listing_bench OPERAND [RUNS]
//
// lists OPERAND (a folder and pattern, "folder/*.AVI") RUNS times (5 unless
// given) and prints the entries the last listing held and the median
// seconds of one listing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/plan/operand.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: namewisp_listing_bench OPERAND [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::vector<double> seconds;
  std::size_t listed = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const platform::Listing listing = app::ListOperand(
        platform::SystemFileSystem(), argv[1], platform::SystemPathStyle());
    const std::chrono::duration<double> elapsed =
        std::chrono::steady_clock::now() - start;
    seconds.push_back(elapsed.count());
    listed = listing.entries.size();
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("%zu %.6f\n", listed, seconds[seconds.size() / 2]);
  return 0;
}
