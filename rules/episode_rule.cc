#include "rules/episode_rule.h"

#include <array>
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

bool MayBeSeason(std::string_view word) {
  return word.size() >= 2 && (word[0] == 's' || word[0] == 'S');
}

// Whether an episode marker of several words may begin here: a season word
// before an episode ("S01 E02", "S6 Ep5", "Season 1 Episode 2", "S2 - 07"),
// or a marker that the next word continues ("S02E09 E10", "1x01 1x02").
// Most markers stand alone: those are read a word at a time.  The next
// word is looked at only for a word that may be a marker.
template <class NextWord>
bool MayBeginMarker(std::string_view word, NextWord next_word) {
  const bool season_word =
      (word.size() >= 2 && word.size() <= 3 &&
       (word[0] == 's' || word[0] == 'S') && ascii::IsDigit(word[1])) ||
      (word.size() == 6 && ascii::EqualsFolded(word, "season"));
  if (!season_word && !MayBeEpisode(word)) return false;
  const std::string_view next = next_word();
  if (next.empty()) return false;
  if (season_word) return true;
  const char c = next[0];
  return c == 'e' || c == 'E' || c == 's' || c == 'S' || c == '-' ||
         (ascii::IsDigit(c) && ascii::IsDigit(word[0]));
}

struct Found {
  std::size_t from = std::string_view::npos;  // the space before it
  std::size_t end = 0;                        // past its last word
  std::string written;
};

}  // namespace

EpisodeResult ApplyEpisodeRule(std::string stem, int highest_year) {
  // The words after the first, left to right (memchr jumps between the
  // spaces); the last episode marker or date wins, and without one the
  // last season word.
  const std::string_view all = stem;
  Found episode, season;
  const char* const begin = all.data();
  const char* space =
      static_cast<const char*>(std::memchr(begin, ' ', all.size()));
  auto word_at = [&](std::size_t from) {
    if (from >= all.size()) return std::string_view();
    const std::size_t end = all.find(' ', from);
    return all.substr(from, end == std::string_view::npos ? end : end - from);
  };
  while (space) {
    const std::size_t from = static_cast<std::size_t>(space - begin) + 1;
    space = static_cast<const char*>(
        std::memchr(begin + from, ' ', all.size() - from));
    const std::size_t end =
        space ? static_cast<std::size_t>(space - begin) : all.size();
    const std::string_view word = all.substr(from, end - from);
    if (word.empty()) continue;
    if (MayBeginMarker(word, [&] { return word_at(end + 1); })) {
      // The words from here on, as the marker reader takes them.
      std::array<std::string_view, 8> ahead;
      std::array<std::size_t, 8> ends;
      std::size_t count = 0;
      for (std::size_t at = from; at < all.size() && count < ahead.size();) {
        std::size_t stop = all.find(' ', at);
        if (stop == std::string_view::npos) stop = all.size();
        if (stop > at) {
          ahead[count] = all.substr(at, stop - at);
          ends[count++] = stop;
        }
        at = stop + 1;
      }
      std::string written;
      if (const std::size_t taken = ReadEpisodeWords(
              std::span<const std::string_view>(ahead.data(), count), 0,
              highest_year, &written)) {
        episode = {from - 1, ends[taken - 1], std::move(written)};
        // Its words are read: go on after them.
        space = ends[taken - 1] < all.size() ? begin + ends[taken - 1] : nullptr;
        continue;
      }
    }
    if (MayBeEpisode(word) && ReadEpisodeMarker(word, nullptr)) {
      episode = {from - 1, end, {}};
      ReadEpisodeMarker(word, &episode.written);
    } else if (ascii::IsDigit(word[0])) {
      const std::string_view next = word_at(end + 1);
      const std::string_view third =
          next.empty() ? std::string_view() : word_at(end + 2 + next.size());
      std::string date;
      const std::size_t words = ReadDate(word, next, third, highest_year, &date);
      if (words > 0) {
        episode = {from - 1,
                   words == 1 ? end : end + 2 + next.size() + third.size(),
                   std::move(date)};
      }
    } else if (MayBeSeason(word)) {
      const std::string_view next = word_at(end + 1);
      std::string written;
      const std::size_t words = ReadSeasonWords(word, next, &written);
      if (words > 0)
        season = {from - 1, words == 1 ? end : end + 1 + next.size(),
                  std::move(written)};
    }
  }
  const Found& cut = episode.from != std::string_view::npos ? episode : season;
  if (cut.from == std::string_view::npos) return {std::move(stem), false};
  std::string rebuilt;
  rebuilt.reserve(cut.from + 2 * kMaxWrittenMarker);
  rebuilt.append(all.substr(0, cut.from + 1));
  rebuilt.append(cut.written);
  // A sample or trailer after the marker stays.
  if (cut.end < all.size()) {
    const std::string_view dropped = all.substr(cut.end + 1);
    for (std::size_t from = 0; from < dropped.size();) {
      std::size_t end = dropped.find(' ', from);
      if (end == std::string_view::npos) end = dropped.size();
      const std::string_view word = dropped.substr(from, end - from);
      if (const std::string_view sample = SampleWord(word); !sample.empty()) {
        rebuilt.push_back(' ');
        rebuilt.append(sample);
        break;
      }
      from = end + 1;
    }
  }
  if (rebuilt == stem) return {std::move(stem), false};
  return {std::move(rebuilt), true};
}

}  // namespace rules
