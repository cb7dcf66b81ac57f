#include "app/long_options.h"

#include "app/option_table.h"
#include "app/request.h"

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

std::string* FolderOption(std::string_view word, LongOptions& found) {
  for (const LongOption& option : kLongOptions)
    if (option.folder && word == option.word) return &(found.*(option.folder));
  return nullptr;
}

bool IntoLibrary(const LongOptions& found) {
  return !found.into.empty() || !found.movies.empty() || !found.shows.empty();
}

void SetLibrary(const LongOptions& found, Request& request) {
  RunOptions& o = request.options;
  o.into = found.into;
  o.movies = found.movies;
  o.shows = found.shows;
  if (o.IntoLibrary()) o.rules.video_rule = true;
}

void AddLongOptionWords(const LongOptions& found, std::string& words) {
  auto add = [&words](std::string_view word, const std::string& folder) {
    if (!words.empty()) words += ' ';
    words += word;
    if (!folder.empty()) words += " " + folder;
  };
  if (found.recursive) add("--recursive", "");
  if (found.terms_given) add("--terms", "");
  if (!found.into.empty()) add("--into", found.into);
  if (!found.movies.empty()) add("--movies", found.movies);
  if (!found.shows.empty()) add("--shows", found.shows);
}

LongOptions CutLongOptions(std::string_view tail) {
  LongOptions found;
  std::string& rest = found.rest;
  bool ended = false;        // after "--"
  bool terms_next = false;   // the word after "--terms"
  std::string* folder_next = nullptr;  // the word after "--into"...
  std::string_view folder_word;
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
    if (folder_next) {
      folder_next->clear();
      for (char c : word)
        if (c != '"') folder_next->push_back(c);
      if (folder_next->empty()) found.missing = folder_word;
      folder_next = nullptr;
      cut = true;
    } else if (terms_next) {
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
      } else if ((folder_next = FolderOption(word, found))) {
        folder_word = word;
        cut = true;
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
  if (folder_next) found.missing = folder_word;
  return found;
}

}  // namespace app
