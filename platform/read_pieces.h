// A user file read to its end through one buffer, for both platforms' user
// files: the system's read is theirs, the loop and the cap are one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class ReadEnd { kWhole, kFailed, kTooBig };

// Hands each piece that read gives to each.  read fills the buffer it is
// given and returns how many bytes it got, 0 at the end, or -1 when it
// failed.  A file that grows past cap bytes meanwhile is kTooBig.
template <typename Read>
ReadEnd ReadPieces(Read read,
                   const std::function<void(std::string_view piece)>& each,
                   std::uint64_t cap) {
  std::string buffer(1 << 17, '\0');
  std::uint64_t total = 0;
  for (;;) {
    const long long got = read(buffer.data(), buffer.size());
    if (got < 0) return ReadEnd::kFailed;
    if (got == 0) return ReadEnd::kWhole;
    total += static_cast<std::uint64_t>(got);
    if (total > cap) return ReadEnd::kTooBig;
    each(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
}

}  // namespace platform
