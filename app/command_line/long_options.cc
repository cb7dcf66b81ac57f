#include "app/command_line/long_options.h"

#include "app/command_line/option_table.h"
#include "app/request.h"

namespace app {

const LongOption* FindLongOption(std::string_view word) {
  for (const LongOption& option : kLongOptions)
    if (word == option.word) return &option;
  return nullptr;
}

std::string MissingValueError(const LongOption& option) {
  return "namewisp: " + std::string(option.word) +
         (option.takes == LongOption::Value::kFile   ? " needs a file"
          : option.takes == LongOption::Value::kWord ? " needs a name"
                                                     : " needs a folder");
}

bool Given(const LongOption& option, const LongOptions& found) {
  return option.flag ? found.*(option.flag) : !(found.*(option.value)).empty();
}

bool RenameOptionGiven(const LongOptions& found) {
  for (const LongOption& option : kLongOptions)
    if (option.rename_only && Given(option, found)) return true;
  return false;
}

void ApplyLongOptions(const LongOptions& found, Request& request) {
  request.dry_run = request.dry_run || found.dry_run;
  request.undo = found.undo;
  request.history = found.history;
  request.terms_file = found.terms_file;
  RunOptions& o = request.options;
  o.keep_history = !found.no_history;
  o.recursive = o.recursive || found.recursive;
  o.into = found.into;
  o.movies = found.movies;
  o.shows = found.shows;
  o.ids = found.ids;
  if (o.IntoLibrary() || o.ids) o.rules.video_rule = true;
  const int filings = found.link + found.copy + found.link_only;
  if (found.link) o.filing = Filing::kLink;
  if (found.copy) o.filing = Filing::kCopy;
  if (found.link_only) o.filing = Filing::kLinkOnly;
  if (!found.server.empty()) o.server = rules::ServerNamed(found.server);
  if (found.help || found.version || !request.usage_error.empty()) return;
  if (found.undo && found.history)
    request.usage_error = "namewisp: --undo and --history go alone";
  else if (filings > 1)
    request.usage_error =
        "namewisp: --link, --copy and --link-only go one at a time";
  else if (!found.server.empty() && !o.server)
    request.usage_error = "namewisp: --server takes plex, jellyfin or emby";
  else if (filings == 1 && !o.IntoLibrary() && !found.undo && !found.history)
    request.usage_error =
        "namewisp: --link, --copy and --link-only go with --into, --movies or "
        "--shows";
}

void AddLongOptionWords(const LongOptions& found, std::string& words) {
  for (const LongOption& option : kLongOptions) {
    if (!option.rename_only || !Given(option, found)) continue;
    if (!words.empty()) words += ' ';
    words += option.word;
    if (option.takes == LongOption::Value::kFolder ||
        option.takes == LongOption::Value::kWord)
      words += " " + found.*(option.value);
  }
}

LongOptions CutLongOptions(std::string_view tail) {
  LongOptions found;
  std::string& rest = found.rest;
  bool ended = false;  // after "--"
  const LongOption* value_next = nullptr;  // the word after "--into"...
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
    if (value_next) {
      std::string& value = found.*(value_next->value);
      value.clear();
      for (char c : word)
        if (c != '"') value.push_back(c);
      if (value.empty()) found.missing = value_next;
      value_next = nullptr;
      cut = true;
    } else if (!ended) {
      const LongOption* option = FindLongOption(word);
      if (word == "--") {
        cut = ended = true;
      } else if (option && option->flag) {
        cut = found.*(option->flag) = true;
      } else if (option) {
        value_next = option;
        cut = true;
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
  if (value_next) found.missing = value_next;
  return found;
}

}  // namespace app
