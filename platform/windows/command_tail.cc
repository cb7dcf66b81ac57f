#include "platform/windows/command_tail.h"

namespace platform::windows {
namespace {

std::size_t SkipSpaces(std::u16string_view line, std::size_t at) {
  while (at < line.size() && line[at] == u' ') ++at;
  return at;
}

}  // namespace

std::size_t TailPosition(std::u16string_view line) {
  if (line.empty()) return 0;
  if (line[0] == u'"') {
    std::size_t closing = line.find(u'"', 1);
    // A quoted name that never closes leaves no tail.
    if (closing == std::u16string_view::npos) return line.size();
    return SkipSpaces(line, closing + 1);
  }
  if (line[0] == u' ') return SkipSpaces(line, 0);
  // Only the space separates: a tab or other control unit is the tail's
  // first character.
  std::size_t at = 1;
  while (at < line.size() && line[at] > 0x20) ++at;
  if (at < line.size() && line[at] == u' ') return SkipSpaces(line, at);
  return at;
}

}  // namespace platform::windows
