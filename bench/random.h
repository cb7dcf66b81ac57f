// splitmix64: the same numbers on every platform, unlike the standard
// library's distributions, so that generated names never drift.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bench {

struct Random {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  bool Chance(int percent) { return Below(100) < static_cast<std::size_t>(percent); }
  template <class T, std::size_t N>
  const T& Pick(const T (&list)[N]) {
    return list[Below(N)];
  }
};

}  // namespace bench
