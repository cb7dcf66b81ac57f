#include "app/command_line/tail_parser.h"

#include <algorithm>
#include <vector>

#include "app/command_line/long_options.h"
#include "app/command_line/option_table.h"
#include "text/case.h"
#include "text/replace.h"

namespace app {
namespace {

// A stretch of the tail, outside or inside double quotes (the quotes
// themselves dropped).  A quote that never closes runs to the end.
struct Stretch {
  std::string text;
  bool quoted = false;
};

std::vector<Stretch> SplitAtQuotes(std::string_view tail) {
  std::vector<Stretch> stretches(1);
  for (char c : tail) {
    if (c == '"') {
      stretches.push_back({"", !stretches.back().quoted});
      continue;
    }
    stretches.back().text.push_back(c);
  }
  return stretches;
}

// Only "H" lowers to "h", whatever the encoding: an ASCII test is exact.
bool HoldsSlashH(std::string_view tail) {
  for (std::size_t at = tail.find('/'); at != std::string_view::npos;
       at = tail.find('/', at + 1)) {
    if (at + 1 < tail.size() && (tail[at + 1] == 'h' || tail[at + 1] == 'H'))
      return true;
  }
  return false;
}

}  // namespace

// Nothing inside double quotes is an option.
bool IsHelpRequest(std::string_view tail) {
  if (tail.empty()) return true;
  for (const Stretch& stretch : SplitAtQuotes(tail)) {
    if (!stretch.quoted &&
        (HoldsSlashH(stretch.text) ||
         stretch.text.find("/?") != std::string::npos))
      return true;
  }
  return false;
}

ParsedTail ParseOptions(std::string_view tail) {
  ParsedTail parsed;
  std::vector<Stretch> stretches = SplitAtQuotes(tail);
  for (const OptionToken& option : kOptionTokens) {
    // Found case-blind, but only the all-lower and all-upper tokens are cut,
    // each in one pass that never looks again at what it joined: what is
    // left of "/Ml" stays in the pattern, and so does the "/c" that cutting
    // "/c" out of "//cc" leaves.  Quoted text is never looked at.
    bool found = false;
    for (Stretch& stretch : stretches) {
      if (stretch.quoted) continue;
      std::string& working = stretch.text;
      if ((option.case_blind ? text::AsciiLowerForm(working).find(option.lower)
                             : working.find(option.lower)) == std::string::npos)
        continue;
      found = true;
      working = text::RemoveAll(working, option.lower);
      if (option.upper != option.lower)
        working = text::RemoveAll(working, option.upper);
    }
    if (!found) continue;
    option.set(parsed.options);
    if (!parsed.option_words.empty()) parsed.option_words += ' ';
    parsed.option_words += option.lower;
  }
  // The quotes only group: they are no part of the pattern (no name can
  // hold one).
  std::string working;
  for (const Stretch& stretch : stretches) working += stretch.text;
  const std::size_t first = working.find_first_not_of(' ');
  if (first != std::string::npos)
    parsed.file_pattern =
        working.substr(first, working.find_last_not_of(' ') + 1 - first);
  return parsed;
}

Request ParseTail(std::string_view tail) {
  Request request;
  LongOptions long_options = CutLongOptions(tail);
  if (long_options.version) {
    request.version = true;
    return request;
  }
  const bool undo_alone =
      (long_options.undo || long_options.history) &&
      long_options.rest.find_first_not_of(' ') == std::string::npos;
  if (long_options.help || (!undo_alone && IsHelpRequest(long_options.rest))) {
    request.help = true;
    return request;
  }
  ParsedTail parsed = ParseOptions(long_options.rest);
  request.options = parsed.options;
  ApplyLongOptions(long_options, request);
  if (long_options.missing)
    request.usage_error = MissingValueError(*long_options.missing);
  request.option_words = parsed.option_words;
  AddLongOptionWords(long_options, request.option_words);
  if ((request.undo || request.history) && !request.option_words.empty() &&
      request.usage_error.empty()) {
    request.usage_error = std::string("namewisp: ") +
                          (request.undo ? "--undo" : "--history") +
                          " takes no rename options";
  }
  if (request.undo || request.history) {
    // "--undo ID": the run that --history lists as ID.
    std::string& id = parsed.file_pattern;
    id.erase(0, std::min(id.size(), id.find_first_not_of(' ')));
    id.erase(id.find_last_not_of(' ') + 1);
    if (request.undo) request.undo_id = id;
    return request;
  }
  request.operands.push_back(std::move(parsed.file_pattern));
  return request;
}

}  // namespace app
