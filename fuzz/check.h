// The fuzz targets' one assertion: a broken property stops the run with a
// message, and libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                            \
  do {                                                                   \
    if (!(condition)) {                                                  \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__,     \
                   __LINE__, #condition);                                \
      std::abort();                                                      \
    }                                                                    \
  } while (0)
