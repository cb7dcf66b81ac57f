#include "rules/name_shape.h"

#include <array>

#include "text/utf8.h"

namespace rules {
namespace {

// What each byte is to the check.  Most bytes of every name are plain, and
// every name /v changes is checked: one look in this table each.
enum ByteKind : unsigned char {
  kPlain,
  kOpenRound,
  kCloseRound,
  kOpenSquare,
  kCloseSquare,
  kControl,
  kHigh,  // begins or goes on with a character beyond ASCII
};

constexpr std::array<unsigned char, 256> kKinds = [] {
  std::array<unsigned char, 256> kinds{};
  for (int c = 0; c < 0x20; ++c) kinds[c] = kControl;
  kinds[0x7f] = kControl;
  for (int c = 0x80; c < 0x100; ++c) kinds[c] = kHigh;
  kinds['('] = kOpenRound;
  kinds[')'] = kCloseRound;
  kinds['['] = kOpenSquare;
  kinds[']'] = kCloseSquare;
  return kinds;
}();

}  // namespace

bool IsOddlyShaped(std::string_view name) {
  int round = 0, square = 0;
  const auto* const bytes = reinterpret_cast<const unsigned char*>(name.data());
  const std::size_t size = name.size();
  std::size_t i = 0;
  while (i < size) {
    while (kKinds[bytes[i]] == kPlain)
      if (++i == size) return round != 0 || square != 0;
    switch (kKinds[bytes[i]]) {
      case kOpenRound:
        ++round;
        break;
      case kCloseRound:
        if (--round < 0) return true;
        break;
      case kOpenSquare:
        ++square;
        break;
      case kCloseSquare:
        if (--square < 0) return true;
        break;
      case kControl:
        return true;
      default: {  // kHigh
        const std::size_t n = text::DecodeUtf8(name, i).length;
        if (n == 0) return true;
        i += n;
        continue;
      }
    }
    ++i;
  }
  return round != 0 || square != 0;
}

}  // namespace rules
