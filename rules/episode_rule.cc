#include "rules/episode_rule.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "rules/release_name.h"
#include "rules/year_rule.h"

namespace rules {
namespace {

// Whether the marker as written would read, with the words kept before it,
// as part of a mark that begins earlier ("S6 (e0" before "S06E59" reads as
// a run): a second run would change such a name again, so it is left.
// Only a mark just before the marker can take it along.
bool JoinsWordsBefore(const ReleaseName& r, const Mark& cut, std::string_view all,
                      std::string_view rebuilt, int highest_year) {
  const Mark* before = nullptr;
  for (const Mark& m : r.Marks())
    if (m.at < cut.at) before = &m;
  if (!before || before->at + before->words + 2 < cut.at) return false;
  const std::size_t from =
      static_cast<std::size_t>(r.words.at[before->at].data() - all.data());
  const std::size_t at = static_cast<std::size_t>(r.words.at[cut.at].data() - all.data());
  const std::string_view tail = rebuilt.substr(from);
  const ReleaseName again = ReadMarks(tail, highest_year);
  for (const Mark& m : again.Marks())
    if (again.words.at[m.at].data() == tail.data() + (at - from)) return false;
  return true;
}

// How many of the groups that kept opens and leaves open rest closes.
std::size_t ClosedLater(std::string_view kept, std::string_view rest) {
  std::size_t open = 0, closed = 0, inner = 0;
  for (char c : kept) {
    if (c == '(') ++open;
    if (c == ')' && open > 0) --open;
  }
  for (char c : rest) {
    if (c == '(') ++inner;
    if (c == ')') inner > 0 ? --inner : ++closed;
  }
  return std::min(open, closed);
}

// The stem cut after its marker, or changed false (and no stem) where it
// keeps its words; period_read: whether the periods were asked for.
EpisodeResult CutAtMarker(std::string_view all, int highest_year,
                          std::uint64_t* period_before, bool* period_read = nullptr) {
  // The last episode or date that is not the stem's first word wins, and
  // without one the last season word.
  if (all.find(' ') == std::string_view::npos || !MayHoldEpisode(all, highest_year))
    return {};
  const ReleaseName r = ReadMarks(all, highest_year, period_before ? *period_before : 0);
  if (period_read) *period_read = r.words.period_read;
  const Mark* episode = nullptr;
  const Mark* season = nullptr;
  for (const Mark& m : r.Marks()) {
    if (r.words.at[m.at].data() == all.data()) continue;
    if (m.kind == MarkKind::kEpisode || m.kind == MarkKind::kDate) episode = &m;
    if (m.kind == MarkKind::kSeason) season = &m;
  }
  const Mark* cut = episode ? episode : season;
  if (!cut) return {};
  const std::size_t at =
      static_cast<std::size_t>(r.words.at[cut->at].data() - all.data());
  std::string rebuilt;
  rebuilt.reserve(at + 3 * kMaxWrittenMark);
  rebuilt.append(all.substr(0, at));
  AppendMark(*cut, r.words, rebuilt);
  // The groups the kept words open and the dropped ones close are closed
  // after the marker: "Show (Pilot S01E02) x" -> "Show (Pilot S01E02)".
  rebuilt.append(ClosedLater(all.substr(0, at), all.substr(at)), ')');
  // A part, then a sample or trailer, after the marker stay.
  AppendKeptMarks(r, cut->at + cut->words, rebuilt, /*parts_only=*/true);
  if (rebuilt == all || JoinsWordsBefore(r, *cut, all, rebuilt, highest_year))
    return {};
  // The words before the marker keep their periods; what is written has none.
  if (period_before && cut->at < 64) *period_before &= (std::uint64_t{1} << cut->at) - 1;
  return {std::move(rebuilt), true};
}

}  // namespace

EpisodeResult ApplyEpisodeRule(std::string stem, int highest_year,
                               std::uint64_t* period_before) {
  std::uint64_t periods = period_before ? *period_before : 0;
  bool period_read = false;
  EpisodeResult read =
      CutAtMarker(stem, highest_year, periods ? &periods : nullptr, &period_read);
  // The periods are taken only where the name they give is one that a
  // second run, which sees spaces, leaves as it is ("S03E21.22" gives
  // "S03E21-E22"); most names read the same without them.
  if (period_read &&
      CutAtMarker(read.changed ? std::string_view(read.stem) : std::string_view(stem),
                  highest_year, nullptr).changed) {
    periods = 0;
    read = CutAtMarker(stem, highest_year, nullptr);
  }
  if (period_before) *period_before = periods;
  if (!read.changed) return {std::move(stem), false};
  return read;
}

}  // namespace rules
