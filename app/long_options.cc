#include "app/long_options.h"

namespace app {

LongOptions CutLongOptions(std::u16string_view tail) {
  LongOptions found;
  std::u16string& rest = found.rest;
  bool ended = false;  // after "--"
  std::size_t at = 0;
  while (at < tail.size()) {
    if (tail[at] == u' ') {
      rest.push_back(u' ');
      ++at;
      continue;
    }
    std::size_t end = tail.find(u' ', at);
    if (end == std::u16string_view::npos) end = tail.size();
    std::u16string_view word = tail.substr(at, end - at);
    bool cut = false;
    if (!ended) {
      if (word == u"--") {
        cut = ended = true;
      } else if (word == u"--help") {
        cut = found.help = true;
      } else if (word == u"--version") {
        cut = found.version = true;
      } else if (word == u"--dry-run") {
        cut = found.dry_run = true;
      }
    }
    if (!cut) {
      rest.append(word);
    } else if (!rest.empty() && rest.back() == u' ') {
      rest.pop_back();  // the space in front of the word goes with it
    } else if (end < tail.size()) {
      ++end;  // at the start: the space behind it goes instead
    }
    at = end;
  }
  return found;
}

}  // namespace app
