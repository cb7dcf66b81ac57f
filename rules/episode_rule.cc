#include "rules/episode_rule.h"

#include <cstring>
#include <string_view>

#include "rules/ascii.h"
#include "rules/release_marker.h"

namespace rules {
namespace {

// Whether a season-episode marker can begin the word at all ("S0...",
// "1x...", "01x..."): the quick refusal nearly every word gets.
bool MayBeEpisode(std::string_view word) {
  std::size_t i = 0;
  while (i < word.size() && word[i] == '(') ++i;
  if (word.size() - i < 4) return false;
  const char c = word[i];
  if (c == 's' || c == 'S') return ascii::IsDigit(word[i + 1]);
  if (!ascii::IsDigit(c)) return false;
  const char d = ascii::AsciiLower(word[i + 1]);
  return d == 'x' || (ascii::IsDigit(d) && ascii::AsciiLower(word[i + 2]) == 'x');
}

}  // namespace

EpisodeResult ApplyEpisodeRule(std::string stem) {
  // The words after the first, left to right (memchr jumps between the
  // spaces); the last marker wins.
  const std::string_view all = stem;
  std::size_t marker = std::string_view::npos;  // the space before it
  std::size_t marker_end = 0;
  const char* const begin = all.data();
  const char* space =
      static_cast<const char*>(std::memchr(begin, ' ', all.size()));
  while (space) {
    const std::size_t from = static_cast<std::size_t>(space - begin) + 1;
    space = static_cast<const char*>(
        std::memchr(begin + from, ' ', all.size() - from));
    const std::size_t end =
        space ? static_cast<std::size_t>(space - begin) : all.size();
    const std::string_view word = all.substr(from, end - from);
    if (MayBeEpisode(word) && ReadEpisodeMarker(word, nullptr)) {
      marker = from - 1;
      marker_end = end;
    }
  }
  if (marker == std::string_view::npos) return {std::move(stem), false};
  std::string rebuilt;
  rebuilt.reserve(marker + kMaxWrittenMarker);
  rebuilt.append(all.substr(0, marker + 1));
  ReadEpisodeMarker(all.substr(marker + 1, marker_end - marker - 1), &rebuilt);
  if (rebuilt == stem) return {std::move(stem), false};
  return {std::move(rebuilt), true};
}

}  // namespace rules
