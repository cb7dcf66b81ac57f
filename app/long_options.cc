#include "app/long_options.h"

namespace app {

LongOptions CutLongOptions(std::string_view tail) {
  LongOptions found;
  std::string& rest = found.rest;
  bool ended = false;  // after "--"
  std::size_t at = 0;
  while (at < tail.size()) {
    if (tail[at] == ' ') {
      rest.push_back(' ');
      ++at;
      continue;
    }
    std::size_t end = tail.find(' ', at);
    if (end == std::string_view::npos) end = tail.size();
    std::string_view word = tail.substr(at, end - at);
    bool cut = false;
    if (!ended) {
      if (word == "--") {
        cut = ended = true;
      } else if (word == "--help") {
        cut = found.help = true;
      } else if (word == "--version") {
        cut = found.version = true;
      } else if (word == "--dry-run") {
        cut = found.dry_run = true;
      }
    }
    if (!cut) {
      rest.append(word);
    } else if (!rest.empty() && rest.back() == ' ') {
      rest.pop_back();  // the space in front of the word goes with it
    } else if (end < tail.size()) {
      ++end;  // at the start: the space behind it goes instead
    }
    at = end;
  }
  return found;
}

}  // namespace app
