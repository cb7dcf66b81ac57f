#include "rules/episode_rule.h"

#include <string_view>

#include "rules/release_name.h"
#include "rules/year_rule.h"

namespace rules {

EpisodeResult ApplyEpisodeRule(std::string stem, int highest_year) {
  // The last episode or date that is not the stem's first word wins, and
  // without one the last season word.
  const std::string_view all = stem;
  if (all.find(' ') == std::string_view::npos || !MayHoldEpisode(all, highest_year))
    return {std::move(stem), false};
  const ReleaseName r = ReadMarks(all, highest_year);
  const Mark* episode = nullptr;
  const Mark* season = nullptr;
  for (const Mark& m : r.Marks()) {
    if (r.words.at[m.at].data() == all.data()) continue;
    if (m.kind == MarkKind::kEpisode || m.kind == MarkKind::kDate) episode = &m;
    if (m.kind == MarkKind::kSeason) season = &m;
  }
  const Mark* cut = episode ? episode : season;
  if (!cut) return {std::move(stem), false};
  const std::size_t at =
      static_cast<std::size_t>(r.words.at[cut->at].data() - all.data());
  std::string rebuilt;
  rebuilt.reserve(at + 3 * kMaxWrittenMark);
  rebuilt.append(all.substr(0, at));
  AppendMark(*cut, r.words, rebuilt);
  // A part, then a sample or trailer, after the marker stay.
  AppendKeptMarks(r, cut->at + cut->words, rebuilt, /*parts_only=*/true);
  if (rebuilt == stem) return {std::move(stem), false};
  return {std::move(rebuilt), true};
}

}  // namespace rules
