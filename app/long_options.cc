#include "app/long_options.h"

#include "app/option_table.h"

namespace app {

bool SetLongOption(std::string_view word, LongOptions& found) {
  for (const LongOption& option : kLongOptions) {
    if (option.flag && word == option.word) {
      found.*(option.flag) = true;
      return true;
    }
  }
  return false;
}

LongOptions CutLongOptions(std::string_view tail) {
  LongOptions found;
  std::string& rest = found.rest;
  bool ended = false;        // after "--"
  bool terms_next = false;   // the word after "--terms"
  std::size_t at = 0;
  while (at < tail.size()) {
    if (tail[at] == ' ') {
      rest.push_back(' ');
      ++at;
      continue;
    }
    // Double quotes group a word with its spaces: "C:\First Last\t.txt".
    std::size_t end = at;
    for (bool quoted = false; end < tail.size(); ++end) {
      if (tail[end] == '"') quoted = !quoted;
      if (tail[end] == ' ' && !quoted) break;
    }
    std::string_view word = tail.substr(at, end - at);
    bool cut = false;
    if (terms_next) {
      found.terms_file.clear();
      for (char c : word)
        if (c != '"') found.terms_file.push_back(c);
      terms_next = false;
      cut = true;
    } else if (!ended) {
      if (word == "--") {
        cut = ended = true;
      } else if (word == "--terms") {
        cut = terms_next = found.terms_given = true;
      } else {
        cut = SetLongOption(word, found);
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
