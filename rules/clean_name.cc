#include "rules/clean_name.h"

#include "rules/case_rule.h"
#include "rules/episode_rule.h"
#include "rules/stem_cleanup.h"
#include "rules/subtitle_suffix.h"
#include "rules/term_removal.h"
#include "rules/user_terms.h"
#include "rules/video_rule.h"
#include "rules/year_rule.h"

namespace rules {
namespace {

CleanedName CleanOnce(std::string_view listed, const NameRules& rules,
                      bool is_directory) {
  NameSplit split = is_directory ? SplitDirectoryName(listed) : SplitFileName(listed);
  CleanedName out;
  std::uint64_t period_joins = 0;
  const bool joins = rules.video_rule || ((rules.year_rule || rules.episode_rule) &&
                                          MayJoinEpisodeRun(split.stem));
  std::string stem = CleanStem(split.stem, joins ? &period_joins : nullptr);
  if (rules.video_rule) {
    if (rules.keep_reading) out.reading.emplace();
    RuleResult video = ApplyVideoRule(std::move(stem), rules.highest_year, period_joins,
                                      out.reading ? &*out.reading : nullptr);
    stem = std::move(video.stem);
    out.video_changed = video.changed;
    if (rules.from_upper || rules.from_lower)
      stem = ApplyCaseRule(std::move(stem), rules.from_upper, rules.from_lower,
                           *rules.letter_case);
    if (!stem.empty()) {
      out.name = std::move(stem);
      out.name.append(split.extension);
    }
    return out;
  }
  if (rules.from_upper || rules.from_lower)
    stem = ApplyCaseRule(std::move(stem), rules.from_upper, rules.from_lower,
                         *rules.letter_case);
  if (rules.year_rule) {
    YearResult year = ApplyYearRule(std::move(stem), rules.highest_year, &period_joins);
    stem = std::move(year.stem);
    out.year_changed = year.changed;
  }
  if (rules.episode_rule) {
    EpisodeResult episode =
        ApplyEpisodeRule(std::move(stem), rules.highest_year, &period_joins);
    stem = std::move(episode.stem);
    out.episode_changed = episode.changed;
    if (episode.changed && rules.year_rule) {
      YearResult year = ApplyYearRule(std::move(stem), rules.highest_year, &period_joins);
      stem = std::move(year.stem);
      out.year_changed = out.year_changed || year.changed;
    }
  }
  if (rules.term_rule) {
    TermResult terms = ApplyTermRemoval(std::move(stem));
    stem = std::move(terms.stem);
    out.terms_changed = terms.changed;
    // The table's removal leaves the stem tidy: an empty terms file (or
    // none) has nothing left to do.
    if (rules.user_terms && !rules.user_terms->terms.empty()) {
      TermResult more = RemoveUserTerms(std::move(stem), *rules.user_terms);
      stem = std::move(more.stem);
      out.terms_changed = out.terms_changed || more.changed;
    }
  }
  if (!stem.empty()) {
    out.name = std::move(stem);
    out.name.append(split.extension);
  }
  return out;
}

}  // namespace

CleanedName CleanName(std::string_view listed, const NameRules& rules,
                      bool is_directory) {
  if (rules.readings) ++*rules.readings;
  return CleanOnce(listed, rules, is_directory);
}

}  // namespace rules
