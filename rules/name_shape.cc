#include "rules/name_shape.h"

#include <cstdint>
#include <cstring>

#include "text/utf8.h"

namespace rules {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighs = 0x8080808080808080;

// Whether any byte of the eight is zero, below n, or above n (n < 128).
constexpr std::uint64_t AnyZero(std::uint64_t x) { return (x - kOnes) & ~x & kHighs; }
constexpr std::uint64_t AnyBelow(std::uint64_t x, unsigned n) {
  return (x - kOnes * n) & ~x & kHighs;
}
constexpr std::uint64_t AnyAbove(std::uint64_t x, unsigned n) {
  return ((x + kOnes * (127 - n)) | x) & kHighs;
}

// Whether all eight bytes are printable ASCII and none is a bracket: most of
// every name, so they are tested eight at a time.
bool AllPlain(const char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, sizeof x);
  return !(AnyBelow(x, 0x21) | AnyAbove(x, 0x7e) |
           AnyZero((x | kOnes) ^ (kOnes * ')')) |  // "(" or ")"
           AnyZero(x ^ (kOnes * '[')) | AnyZero(x ^ (kOnes * ']')));
}

}  // namespace

bool IsOddlyShaped(std::string_view name) {
  int round = 0, square = 0;
  const char* const p = name.data();
  const std::size_t size = name.size();
  std::size_t i = 0;
  while (i < size) {
    if (size - i >= 8 && AllPlain(p + i)) {
      i += 8;
      continue;
    }
    // Byte by byte to the end of these eight (or of the name).
    const std::size_t end = size - i >= 8 ? i + 8 : size;
    while (i < end) {
      const unsigned char c = static_cast<unsigned char>(p[i]);
      if (c < 0x20 || c == 0x7f) return true;
      if (c >= 0x80) {
        const std::size_t n = text::DecodeUtf8(name, i).length;
        if (n == 0) return true;
        i += n;
        continue;
      }
      round += c == '(' ? 1 : c == ')' ? -1 : 0;
      square += c == '[' ? 1 : c == ']' ? -1 : 0;
      if (round < 0 || square < 0) return true;
      ++i;
    }
  }
  return round != 0 || square != 0;
}

}  // namespace rules
